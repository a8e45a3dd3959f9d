// What the book-type operations say to the user, in the same words in the
// window and on the command line.
#pragma once

// A drive whose firmware the gate refuses (two blanks after the comma).
extern const char kFirmwareRefusedMessage[];
// The question before a write.
extern const char kConfirmChangeQuestion[];
// A write command the drive refused.
extern const char kCommandFailedMessage[];
// A drive that does not answer the read command ("Nu-tek" with a lower-case t).
extern const char kNotQsiDriveMessage[];
