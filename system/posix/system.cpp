// SPDX-License-Identifier: MIT
#include "../system.h"

#include <termios.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bignum::platform {

namespace {

// errno of the first write that failed; 0 while none has.
int lost_output_error = 0;

// The terminal whose input modes the program changes, and its settings from
// before the first change. A signal handler reads both, so the descriptor is
// published only once the settings are in place.
termios initial_settings{};
volatile std::sig_atomic_t terminal = -1;

// The settings the program last asked for, put back when it continues after
// a stop (the shell may have changed them meanwhile); none once the terminal
// is restored for good. Written only with the stop and continue signals
// blocked, so their handlers never see half of a change.
termios requested_settings{};
volatile std::sig_atomic_t requested = 0;

[[nodiscard]] int descriptor(Handle h) noexcept { return static_cast<int>(h); }

void set_flag(tcflag_t& flags, tcflag_t flag, bool on) noexcept { flags = on ? (flags | flag) : (flags & ~flag); }

// Writes everything unless the descriptor fails; returns the bytes written.
// One call is made even for no bytes, as the console would.
bool write_all(int fd, const char* bytes, std::size_t size, std::size_t& written) noexcept
{
    written = 0;
    do {
        const ssize_t n = ::write(fd, bytes + written, size - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        written += static_cast<std::size_t>(n);
    } while (written < size);
    return true;
}

[[nodiscard]] const char* failure_name(Failure failure) noexcept
{
    return failure == Failure::library_error ? "library error" : "division by zero";
}

// Async-signal-safe, as is everything the handlers below call.
void put_initial_settings() noexcept
{
    if (terminal >= 0) {
        ::tcsetattr(terminal, TCSANOW, &initial_settings);
    }
}

// For good: a continue signal after this leaves the terminal alone.
void restore_terminal() noexcept
{
    requested = 0;
    put_initial_settings();
}

void put_requested_settings() noexcept
{
    if (requested != 0) {
        ::tcsetattr(terminal, TCSANOW, &requested_settings);
    }
}

// Every handler here keeps errno for the code it interrupted.
void put_requested_settings_on_continue(int /*signal*/) noexcept
{
    const int saved_errno = errno;
    put_requested_settings();
    errno = saved_errno;
}

void set_handler(int signal, void (*handler)(int)) noexcept
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
}

void unblock(int signal) noexcept
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

// Ctrl-Z: the shell gets the terminal as it was, then the process stops as
// it would have without the handler. It returns here once continued (or at
// once, when the stop is discarded, as in an orphaned process group) and
// takes its own settings back.
void stop_with_terminal_restored(int signal) noexcept
{
    const int saved_errno = errno;
    put_initial_settings();
    set_handler(signal, SIG_DFL);
    unblock(signal); // blocked while its handler runs
    ::kill(::getpid(), signal);
    set_handler(signal, stop_with_terminal_restored);
    put_requested_settings();
    errno = saved_errno;
}

// Puts the terminal back, then lets the signal end the process as it would
// have without the handler.
void restore_terminal_and_resend(int signal) noexcept
{
    restore_terminal();
    set_handler(signal, SIG_DFL);
    std::raise(signal);
}

// Every signal whose default action ends the process and that a handler can
// catch: those a user or the system sends, and the faults, after which the
// terminal would be left as unusable as after a kill. Signals ignored by
// default leave the terminal alone; the stop from the terminal has its own
// handler below.
constexpr std::array terminating_signals{
    SIGHUP,    SIGINT,  SIGQUIT, SIGILL,  SIGTRAP, SIGABRT, SIGBUS,    SIGFPE,  SIGUSR1, SIGSEGV,
    SIGUSR2,   SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGSYS,
#ifdef __linux__
    SIGSTKFLT, SIGIO,   SIGPWR,
#endif
};

// One that is ignored (nohup, a background job) stays ignored.
void handle_unless_ignored(int signal, void (*handler)(int)) noexcept
{
    struct sigaction action {};
    if (::sigaction(signal, nullptr, &action) == 0 && action.sa_handler != SIG_IGN) {
        set_handler(signal, handler);
    }
}

void restore_terminal_on_signals() noexcept
{
    for (const int signal : terminating_signals) {
        handle_unless_ignored(signal, restore_terminal_and_resend);
    }
#ifdef __linux__
    // The real-time signals, which end a process by default too.
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) {
        handle_unless_ignored(signal, restore_terminal_and_resend);
    }
#endif
    handle_unless_ignored(SIGTSTP, stop_with_terminal_restored);
    // Also after a stop no handler saw (SIGSTOP, SIGTTIN).
    set_handler(SIGCONT, put_requested_settings_on_continue);
}

// Keeps the stop and continue handlers away while the requested settings
// change.
class StopsHeld {
public:
    StopsHeld() noexcept
    {
        sigset_t stops;
        sigemptyset(&stops);
        sigaddset(&stops, SIGTSTP);
        sigaddset(&stops, SIGCONT);
        ::sigprocmask(SIG_BLOCK, &stops, &saved_);
    }
    ~StopsHeld() { ::sigprocmask(SIG_SETMASK, &saved_, nullptr); }
    StopsHeld(const StopsHeld&) = delete;
    StopsHeld& operator=(const StopsHeld&) = delete;
    StopsHeld(StopsHeld&&) = delete;
    StopsHeld& operator=(StopsHeld&&) = delete;

private:
    sigset_t saved_{};
};

// Keeps the settings of the first terminal whose modes change; only that
// one's modes may change later.
bool remember_terminal(int fd) noexcept
{
    if (terminal >= 0) {
        return fd == terminal;
    }
    if (::tcgetattr(fd, &initial_settings) != 0) {
        return false;
    }
    std::atomic_signal_fence(std::memory_order_release);
    terminal = fd;
    restore_terminal_on_signals();
    return true;
}

} // namespace

Handle standard_handle(StandardStream stream) noexcept
{
    return static_cast<Handle>(stream == StandardStream::input ? STDIN_FILENO : STDOUT_FILENO);
}

bool set_input_mode(Handle input, std::uint32_t mode) noexcept
{
    if (!remember_terminal(descriptor(input))) {
        return false;
    }
    termios settings = initial_settings;
    set_flag(settings.c_lflag, ISIG, (mode & input_processed) != 0);
    set_flag(settings.c_lflag, ICANON, (mode & input_line) != 0);
    set_flag(settings.c_lflag, ECHO, (mode & input_echo) != 0);
    // VMIN and VTIME may share their slots with VEOF and VEOL, so they are
    // set only when the line discipline does not read those.
    if ((mode & input_line) == 0) {
        settings.c_cc[VMIN] = 1;
        settings.c_cc[VTIME] = 0;
    }
    const StopsHeld held;
    requested_settings = settings;
    requested = 1;
    return ::tcsetattr(descriptor(input), TCSANOW, &settings) == 0;
}

bool read_bytes(Handle input, void* buffer, std::uint32_t size, std::uint32_t& count) noexcept
{
    ssize_t n = 0;
    do {
        n = ::read(descriptor(input), buffer, size);
    } while (n < 0 && errno == EINTR);
    count = n > 0 ? static_cast<std::uint32_t>(n) : 0;
    return n >= 0;
}

bool write_bytes(Handle output, const void* bytes, std::uint32_t size, std::uint32_t& count) noexcept
{
    std::size_t written = 0;
    const bool ok = write_all(descriptor(output), static_cast<const char*>(bytes), size, written);
    if (!ok && lost_output_error == 0) {
        lost_output_error = errno;
    }
    count = static_cast<std::uint32_t>(written);
    return ok;
}

void exit_process(const char* program, std::uint32_t status) noexcept
{
    restore_terminal();
    if (lost_output_error != 0) {
        std::fprintf(stderr, "%s: write error: %s\n", program, std::strerror(lost_output_error));
        std::exit(1);
    }
    std::exit(static_cast<int>(status));
}

void end_unhandled(const char* program, Failure failure) noexcept
{
    restore_terminal();
    std::fprintf(stderr, "%s: unhandled %s 0x%08X\n", program, failure_name(failure), static_cast<unsigned>(failure));
    // Abruptly, as a crash would: no exit handlers run.
    std::_Exit(EXIT_FAILURE);
}

} // namespace bignum::platform
