#pragma once
// Which kind of typing an entry field expects, told to the desktop's input method.
// Codes, barcodes and pinyin initials are Latin letters and digits; names are Chinese.
class QWidget;

namespace inputmode {

// The field takes no input method at all: every key reaches it as typed. For the scan box,
// where a barcode scanner's keystrokes must never be caught by a Chinese input method.
void latinOnly(QWidget *field);

// The field prefers Latin input: an input method that follows hints starts in Latin mode, and
// the user may still switch it to Chinese (a new colour name typed in full, say). An editable
// combo box passes the hint to its edit line.
void preferLatin(QWidget *field);

} // namespace inputmode
