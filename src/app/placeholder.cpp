// The assembly of shell and pages arrives with the start-up code.
