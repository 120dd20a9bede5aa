// This library's first sources arrive with its features.
