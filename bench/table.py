"""Makes bench/run.sh's table from its raw lines: each goal with its figures,
medians, extremes and ratios, for each sound server and each sound path."""
import re
import statistics
import sys

runs = {}
for line in open(sys.argv[1]):
    kind, _, rest = line.strip().partition(" ")
    values = {}
    for key, value in re.findall(r"([\w()/]+)=([-\d./]+)", rest):
        values[key] = value
    runs.setdefault(kind, []).append(values)


def series(kind, key, part=0):
    found = []
    for values in runs.get(kind, []):
        try:
            number = float(values[key].split("/")[part])
        except (KeyError, ValueError, IndexError):
            continue
        if number >= 0:
            found.append(number)
    return found


def growth(kind, key, base):
    """Per run: `key` less `base`, both from the same run."""
    found = []
    for values in runs.get(kind, []):
        try:
            after, before = float(values[key]), float(values[base])
        except (KeyError, ValueError):
            continue
        if after >= 0 and before >= 0:
            found.append(after - before)
    return found


def cell(numbers):
    if not numbers:
        return "n/a"
    return f"{statistics.median(numbers):8.2f} [{min(numbers):.2f}-{max(numbers):.2f}] n={len(numbers)}"


def med(numbers):
    return statistics.median(numbers) if numbers else float("nan")


rows = []


def section(title):
    rows.append((title, None, None, None, None))


def row(what, ours, floor, compare, goal):
    if compare == "ratio":
        relation = f"{med(ours) / med(floor):.2f} x" if floor and med(floor) else "-"
    elif compare == "diff":
        relation = f"{med(ours) - med(floor):+.2f}" if floor else "-"
    else:
        relation = compare
    rows.append(("  " + what, cell(ours), cell(floor) if floor is not None else "-", relation, goal))


for server in ("pulseaudio", "pipewire"):
    for path in ("native", "sdl"):
        w = f"wavorin_{path}@{server}"
        if w not in runs:
            continue
        label = "its own choice of output" if path == "native" else "SDL's PulseAudio driver"
        section(f"{server}: wavorin on {label}")
        paplay = f"paplay_play@{server}"
        row("playing 60 s file with the dome, wake-ups/s (floor: paplay, default buffer)",
            series(w, "play_wakeups_per_s"), series(paplay, "wakeups_per_s"), "ratio", "<= 1.0 x")
        row("playing, program CPU % of a core (floor: paplay)", series(w, "play_cpu_pct"),
            series(paplay, "cpu_pct"), "diff", "<= +0.4")
        row("playing, sound server CPU % (floor: its CPU for paplay)",
            series(w, "play_server_pct"), series(paplay, "server_pct"), "diff", "<= +0.3")
        if server == "pipewire":
            pwplay = f"pwplay_play@{server}"
            row("playing, wake-ups/s (beside: pw-play)", series(w, "play_wakeups_per_s"),
                series(pwplay, "wakeups_per_s"), "ratio", "-")
            row("playing, program CPU % (beside: pw-play)", series(w, "play_cpu_pct"),
                series(pwplay, "cpu_pct"), "diff", "-")
            row("playing, sound server CPU % (beside: its CPU for pw-play)",
                series(w, "play_server_pct"), series(pwplay, "server_pct"), "diff", "-")
        if path == "native":
            answers = f"wavorin_answers@{server}"
            for key, what in (("answer_stop_playing_ms", "Stop 1.3 s into a tune"),
                              ("answer_play_playing_ms", "Play 1.3 s into a tune"),
                              ("answer_play_suspended_ms", "Play, the sink suspended"),
                              ("answer_play_server_stopped_ms", "Play, the server stopped"),
                              ("answer_stop_server_stopped_ms", "Stop, the server stopped")):
                row(f"release -> window answers, {what}, ms", series(answers, key), None, "-",
                    "<= click + 50 ms")
            row("Stop -> our stream corked, ms", series(answers, "corked_after_stop_ms"), None,
                "-", "<= fade + a cycle")
            row("Stop -> the sink suspended, ms", series(answers, "sink_suspended_after_stop_ms"),
                None, "-", "grace + the sink's idle time")
        paplay_first = series(f"paplay_click@{server}", "first_sample_ms")
        row("release -> first click sample, device closed, ms (beside: paplay exec -> first)",
            series(w, "click_closed_ms"), paplay_first, "ratio", "<= 5 ms median")
        row("release -> first click sample, device open (grace), ms (beside: pacat, stream open, "
            "write -> first)", series(w, "click_open_ms"),
            series(f"pacat_open@{server}", "open_first_ms"), "diff", "<= 5 ms median")
        row("release -> first click sample, first click after start, ms",
            series(w, "click_first_ms"), None, "-", "<= 5 ms median")
        service = f"service_small_{path}@{server}"
        row("Stop request -> end of the tune, in the recorded stream's own samples, ms",
            series(service, "stop_sound_after_ms"), None, "-", "<= 10 ms")
        row("Stop request -> last sound sample read at the sink's monitor, ms",
            series(service, "stop_last_sound_ms"), None, "-", "-")
        row("1 s after a sound ended: uncorked streams of ours on the server",
            series(w, "after_1s_uncorked_streams"), None, "-", "0")
        row("1 s after a sound ended: server CPU % (vs program idle)",
            series(w, "after_1s_server_pct"), series(w, "idle_server_pct"), "diff", "+0.00")
        row("1 s after a sound ended: program wake-ups/s", series(w, "after_1s_wakeups_per_s"),
            None, "-", "~0")
        row("exec -> painted, ms (floor: bare Qt)", series(w, "painted_ms"),
            series("bare", "painted_ms"), "ratio", "<= 1.2 x")
        row("idle resident memory, MiB (floor: bare Qt)", series(w, "idle_rss_mib"),
            series("bare", "idle_rss_mib"), "ratio", "<= 1.15 x")
        row("idle (nothing played yet), wake-ups/s", series(w, "idle_wakeups_per_s"), None, "-",
            "0")
        row("growth after the dialog used and closed, MiB (floor: bare Qt, same dialog)",
            growth(w, "dialog_rss_mib", "before_dialog_rss_mib"),
            growth("bare_dialog", "dialog_rss_mib", "before_dialog_rss_mib"), "diff",
            "floor: Qt's own")
        if path == "native":
            large = f"service_large_native@{server}"
            small = f"service_small_native@{server}"
            row("2 GiB vs 1 MiB file: request -> first sample, ms", series(large, "first"),
                series(small, "first"), "diff", "alike")
            row("2 GiB vs 1 MiB file: peak resident memory, MiB", series(large, "peak_rss_mib"),
                series(small, "peak_rss_mib"), "diff", "<= +1 MiB")
section("both")
row("exec -> painted, bare Qt with SDL2 and libsndfile loaded, ms (floor: bare Qt)",
    series("bare_libs", "painted_ms"), series("bare", "painted_ms"), "ratio", "the libraries' cost")
rows.append(("  bit-exact output where the formats match", "tests: SoundServerTest, "
             "ProgramTest.PlayHearsTheClick (scripts/test.sh)", "-", "-", "exact"))

width = max(len(r[0]) for r in rows)
print(f"{'measure':<{width}}  {'wavorin median [min-max]':<34}  {'floor median [min-max]':<34}  "
      f"{'ratio/diff':<10}  goal")
for what, ours, floor, relation, goal in rows:
    if ours is None:
        print(what)
    else:
        print(f"{what:<{width}}  {ours:<34}  {floor:<34}  {relation:<10}  {goal}")
