#include "tools/orvane/AtomicFile.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#ifdef _WIN32
#include <process.h>
#include "platform/Platform.h"
#else
#include <cerrno>
#include <unistd.h>
#endif

namespace {

// The temporary file being written, for the signal handler; empty when there is none.
char pendingTemporary[4096];

int ProcessId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

extern "C" void RemovePendingAndExit(int signal) {
    if (pendingTemporary[0] != '\0') std::remove(pendingTemporary);
    std::_Exit(128 + signal);
}

void SetPending(const std::string& path) {
    std::strncpy(pendingTemporary, path.size() < sizeof pendingTemporary ? path.c_str() : "",
                 sizeof pendingTemporary - 1);
}

std::string SystemReason() { return std::strerror(errno); }

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) throw std::runtime_error("cannot create " + path + ": " + SystemReason());
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool flushed = std::fflush(file) == 0;
    const std::string reason = SystemReason();
    const bool closed = std::fclose(file) == 0;
    if (!written || !flushed || !closed) throw std::runtime_error("cannot write " + path + ": " + reason);
}

// Moves temporary to path; without replace, an existing path makes it fail.
void Place(const std::string& temporary, const std::string& path, bool replace) {
#ifdef _WIN32
    if (!MoveFileExA(temporary.c_str(), path.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0)) {
        const DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
            throw std::runtime_error(path + " exists (use --force to replace it)");
        }
        throw std::runtime_error("cannot rename the temporary file to " + path + " (error " + std::to_string(error) + ")");
    }
#else
    if (replace) {
        if (std::rename(temporary.c_str(), path.c_str()) != 0) {
            throw std::runtime_error("cannot rename the temporary file to " + path + ": " + SystemReason());
        }
        return;
    }
    // A hard link fails when the name is taken, where a rename would replace it.
    if (::link(temporary.c_str(), path.c_str()) == 0) {
        ::unlink(temporary.c_str());
        return;
    }
    if (errno == EEXIST) throw std::runtime_error(path + " exists (use --force to replace it)");
    if (errno != EPERM && errno != EOPNOTSUPP) throw std::runtime_error("cannot create " + path + ": " + SystemReason());
    // A file system without hard links: check, then rename.
    if (::access(path.c_str(), F_OK) == 0) throw std::runtime_error(path + " exists (use --force to replace it)");
    Place(temporary, path, true);
#endif
}

}  // namespace

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, bool replace) {
    const std::string temporary = path + ".orvane-" + std::to_string(ProcessId()) + ".tmp";
    SetPending(temporary);
    try {
        WriteBytes(temporary, bytes);
        Place(temporary, path, replace);
    } catch (...) {
        std::remove(temporary.c_str());
        SetPending("");
        throw;
    }
    SetPending("");
}

void RemoveTemporaryFilesOnSignals() {
    std::signal(SIGINT, RemovePendingAndExit);
    std::signal(SIGTERM, RemovePendingAndExit);
}
