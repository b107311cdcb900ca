#pragma once
// A write past the file-size limit (ulimit -f) raises SIGXFSZ, whose default
// action ends the program in the middle of the write: half a record stays in
// the file and the writer never gets to put the old length back. Every program
// ignores the signal at start-up, so such a write fails with EFBIG instead and
// the writer rolls back and says why.

void ignoreFileSizeSignal();
