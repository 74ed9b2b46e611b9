#pragma once

// A write beyond the process's file size limit (ulimit -f) fails with
// EFBIG, to be reported like any failed write, instead of ending the
// process (on Linux by SIGXFSZ) with whatever the user had not saved. Set
// up once, at start.
void keepRunningAtFileSizeLimit();
