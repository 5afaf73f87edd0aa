// Records what a sound server's sink plays, from its monitor, into a file as
// raw 16-bit 44.1 kHz stereo, written as it arrives so a test can read what
// has been heard so far. Unlike parec it does not keep the sink awake: a sink
// nobody plays to suspends as on a desktop, and the recording pauses with it.
// Appends, so a recording started again after its server came back goes on
// in the same file. Prints "recording" once the stream is up; ends on
// SIGTERM, or with status 1 when the server is gone.
//
//   wavorin_monitor_recorder [--keep-awake] [--piece-ms N] <file> [source]
//     --keep-awake  keeps the sink running, as parec does
//     --piece-ms N  the pieces the server delivers, in ms (default 5); on
//                   PipeWire this also sets how often its whole graph cycles
//     source        default: the default sink's monitor
#include <fcntl.h>
#include <pulse/pulseaudio.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct Recorder {
  pa_mainloop_api* api = nullptr;
  int out = -1;
  const char* source = nullptr;
  bool keep_awake = false;
  unsigned piece_ms = 5;
  pa_stream* stream = nullptr;
};

struct MainloopFree {
  void operator()(pa_mainloop* m) const { pa_mainloop_free(m); }
};
struct ContextFree {
  void operator()(pa_context* c) const {
    pa_context_disconnect(c);
    pa_context_unref(c);
  }
};

void write_all(int fd, const void* data, std::size_t bytes) {
  const auto* p = static_cast<const char*>(data);
  while (bytes > 0) {
    const ssize_t n = write(fd, p, bytes);
    if (n <= 0) return;
    p += n;
    bytes -= static_cast<std::size_t>(n);
  }
}

void on_read(pa_stream* stream, std::size_t /*bytes*/, void* user) {
  auto* r = static_cast<Recorder*>(user);
  const void* data = nullptr;
  std::size_t bytes = 0;
  while (pa_stream_readable_size(stream) > 0 && pa_stream_peek(stream, &data, &bytes) == 0 &&
         bytes > 0) {
    if (data != nullptr) {
      write_all(r->out, data, bytes);
    } else {  // a hole: silence of that length
      const std::vector<char> zeros(bytes, 0);
      write_all(r->out, zeros.data(), bytes);
    }
    pa_stream_drop(stream);
  }
}

void on_stream_state(pa_stream* stream, void* user) {
  auto* r = static_cast<Recorder*>(user);
  switch (pa_stream_get_state(stream)) {
    case PA_STREAM_READY:
      std::printf("recording\n");
      std::fflush(stdout);
      break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
      r->api->quit(r->api, 1);
      break;
    default:
      break;
  }
}

void on_context_state(pa_context* context, void* user) {
  auto* r = static_cast<Recorder*>(user);
  switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY: {
      const pa_sample_spec spec{PA_SAMPLE_S16LE, 44100, 2};
      r->stream = pa_stream_new(context, "Wavorin test recorder", &spec, nullptr);
      pa_stream_set_state_callback(r->stream, on_stream_state, r);
      pa_stream_set_read_callback(r->stream, on_read, r);
      // What the sink mixes is in the file about a piece later.
      pa_buffer_attr attr{};
      attr.maxlength = static_cast<std::uint32_t>(-1);
      attr.fragsize = static_cast<std::uint32_t>(pa_usec_to_bytes(r->piece_ms * 1000ULL, &spec));
      const auto flags = static_cast<pa_stream_flags_t>(
          PA_STREAM_ADJUST_LATENCY | (r->keep_awake ? 0 : PA_STREAM_DONT_INHIBIT_AUTO_SUSPEND));
      if (pa_stream_connect_record(r->stream, r->source, &attr, flags) < 0) r->api->quit(r->api, 1);
      break;
    }
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
      r->api->quit(r->api, 1);
      break;
    default:
      break;
  }
}

void on_signal(pa_mainloop_api* api, pa_signal_event* /*event*/, int /*sig*/, void* /*user*/) {
  api->quit(api, 0);
}

}  // namespace

int main(int argc, char** argv) {
  Recorder r;
  for (; argc > 1 && std::strncmp(argv[1], "--", 2) == 0; --argc, ++argv) {
    if (std::strcmp(argv[1], "--keep-awake") == 0) {
      r.keep_awake = true;
    } else if (std::strcmp(argv[1], "--piece-ms") == 0 && argc > 2) {
      r.piece_ms = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
      --argc;
      ++argv;
    } else {
      argc = 0;
      break;
    }
  }
  if (argc < 2 || argc > 3 || r.piece_ms == 0) {
    std::fprintf(stderr,
                 "usage: wavorin_monitor_recorder [--keep-awake] [--piece-ms N] <file> [source]\n");
    return 2;
  }
  r.out = open(argv[1], O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (r.out < 0) {
    std::perror(argv[1]);
    return 1;
  }
  r.source = argc == 3 ? argv[2] : "@DEFAULT_MONITOR@";
  const std::unique_ptr<pa_mainloop, MainloopFree> loop(pa_mainloop_new());
  r.api = pa_mainloop_get_api(loop.get());
  pa_signal_init(r.api);
  pa_signal_new(SIGTERM, on_signal, nullptr);
  pa_signal_new(SIGINT, on_signal, nullptr);
  const std::unique_ptr<pa_context, ContextFree> context(
      pa_context_new(r.api, "Wavorin test recorder"));
  pa_context_set_state_callback(context.get(), on_context_state, &r);
  if (pa_context_connect(context.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
    std::fprintf(stderr, "no sound server: %s\n", pa_strerror(pa_context_errno(context.get())));
    return 1;
  }
  int status = 1;
  pa_mainloop_run(loop.get(), &status);
  if (r.stream != nullptr) {
    pa_stream_disconnect(r.stream);
    pa_stream_unref(r.stream);
  }
  pa_signal_done();
  close(r.out);
  return status;
}
