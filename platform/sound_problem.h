#pragma once

#include <functional>
#include <string>

namespace wavorin {

// What went wrong with a sound request, for the message a person sees.
enum class SoundProblem {
  FileUnplayable,  // missing, unreadable, not a wave file, or a format the decoder refuses
  NoDevice,        // no sound device could be opened: sounds are played silently
  DeviceFailed,    // the device failed while a sound played
  FileCutShort,    // the file could not be read to its end while it played
};

// Why a file was unplayable, in the terms a person checks first.
enum class FileFault {
  NotAWaveFile,  // read, but not a wave file or a format the decoder refuses
  Missing,       // no such file (or folder on the way to it)
  Unreadable,    // there, but this user may not read it, or it is no regular file
};

struct SoundReport {
  SoundProblem problem;
  std::string name;    // the request's file name (empty for device problems)
  unsigned flags = 0;  // the request's flags, so the listener can tell a click from a Play
  std::string reason;  // the library's own words (sf_strerror, SDL_GetError)
  FileFault fault = FileFault::NotAWaveFile;  // for FileUnplayable
};

// Called on any thread; the listener hands the report to its own thread.
using SoundReporter = std::function<void(const SoundReport&)>;

}  // namespace wavorin
