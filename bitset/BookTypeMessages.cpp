#include "bitset/BookTypeMessages.h"

const char kFirmwareRefusedMessage[] =
    "Wrong firmware revision,  you must upgrade to at least BX03 firmware";
const char kConfirmChangeQuestion[] = "Are you sure you want to change the bitsetting?";
const char kCommandFailedMessage[] = "Error. May not be a QSI / Nu-Tek drive or wrong firmware";
const char kNotQsiDriveMessage[] = "Not a QSI / Nu-tek Drive or function unsupported";
