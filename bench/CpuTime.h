#pragma once

// CPU time rather than wall time for the benchmarks: on a machine busy with other work the
// figures of our code and of the ffmpeg program it is compared with stay comparable.
#include <sys/resource.h>
#include <time.h>

#include <cstdlib>
#include <string>

namespace kelmo::bench {

// Seconds of CPU time on `clock` (CLOCK_PROCESS_CPUTIME_ID, CLOCK_THREAD_CPUTIME_ID).
inline double CpuSeconds(clockid_t clock) {
  timespec t{};
  ::clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Seconds of CPU time a shell command's processes take; negative when the command fails.
inline double CommandCpuSeconds(const std::string& command) {
  const auto children = [] {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  };
  const double start = children();
  if (std::system(command.c_str()) != 0) return -1;
  return children() - start;
}

}  // namespace kelmo::bench
