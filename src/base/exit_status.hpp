#pragma once

// The exit statuses of every program, named once.

namespace orvalen {

// Exit statuses of a run.
inline constexpr int EXIT_OK = 0;
inline constexpr int EXIT_STOPPED = 1;        // an error stopped the run
inline constexpr int EXIT_REPORT_UNSOUND = 2; // report written, but see the warnings

} // namespace orvalen
