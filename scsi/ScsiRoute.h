// How the command channel reaches drives: the system's SCSI pass-through by
// drive letter (the NT family), or the ASPI library (the 9x family).
#pragma once

enum class ScsiRoute { Spti, Aspi };
