// The file size limit's signal. The one other place of the data module that calls the
// platform.
#include "data/file_size_limit.h"

#include <csignal>

namespace lambreya {

void failWritesPastTheFileSizeLimit() {
#if defined(SIGXFSZ)
    std::signal(SIGXFSZ, SIG_IGN); // write() then fails with EFBIG
#endif
}

} // namespace lambreya
