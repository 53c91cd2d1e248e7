#pragma once
// A file size limit for the length of a scope, as a full disk or a quota
// would cut writes short: writes past `bytes` fail with EFBIG instead of
// raising SIGXFSZ. The old limit and signal handler come back at the end.
// POSIX only: elsewhere set() is false.

#if __has_include(<sys/resource.h>)
#include <csignal>
#include <sys/resource.h>

namespace palfade {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        if (getrlimit(RLIMIT_FSIZE, &saved_) != 0)
            return;
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved_;
        small.rlim_cur = bytes;
        set_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        if (oldHandler_ != SIG_ERR) {
            setrlimit(RLIMIT_FSIZE, &saved_);
            std::signal(SIGXFSZ, oldHandler_);
        }
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool set() const { return set_; }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = SIG_ERR;
    bool set_ = false;
};

} // namespace palfade
#else
namespace palfade {

class FileSizeLimit {
public:
    explicit FileSizeLimit(unsigned long long) {}
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool set() const { return false; }
};

} // namespace palfade
#endif
