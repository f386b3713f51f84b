#pragma once

// Settings the whole process needs before anything else runs; main() calls
// it first.
//
// Under a file-size limit (ulimit -f) a write past the limit raises SIGXFSZ,
// which ends the process silently by default. It is ignored, so the write
// fails instead and the window says which file and why, keeping the earlier
// file.
void PrepareProcess();
