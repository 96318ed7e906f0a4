#pragma once

namespace lambreya {

// A write past the process's file size limit (ulimit -f) is answered by default with a
// signal that ends the program on the spot, with no message and nothing saved. Once this
// is called, such a write fails instead, like a write to a full disk, and is reported.
void failWritesPastTheFileSizeLimit();

} // namespace lambreya
