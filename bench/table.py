"""Makes bench/run.sh's table from its raw lines: medians, extremes, ratios."""
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


def row(what, ours, floor, compare, goal):
    if compare == "ratio":
        relation = f"{med(ours) / med(floor):.2f} x" if floor and med(floor) else "-"
    elif compare == "diff":
        relation = f"{med(ours) - med(floor):+.2f}"
    else:
        relation = compare
    rows.append((what, cell(ours), cell(floor) if floor is not None else "-", relation, goal))


w = "wavorin"
row("exec -> painted, ms (floor: bare Qt)", series(w, "painted_ms"), series("bare", "painted_ms"),
    "ratio", "<= 1.2 x")
row("exec -> painted, bare Qt with SDL2 and libsndfile loaded, ms (floor: bare Qt)",
    series("bare_libs", "painted_ms"), series("bare", "painted_ms"), "ratio", "the libraries' cost")
row("idle resident memory, MiB (floor: bare Qt)", series(w, "idle_rss_mib"),
    series("bare", "idle_rss_mib"), "ratio", "<= 1.15 x")
row("RSS after dialog used and closed, MiB (vs just before it)", series(w, "dialog_rss_mib"),
    series(w, "before_dialog_rss_mib"), "diff", "<= +5 MiB")
row("growth after the dialog used and closed, MiB (floor: bare Qt, same dialog)",
    growth(w, "dialog_rss_mib", "before_dialog_rss_mib"),
    growth("bare_dialog", "dialog_rss_mib", "before_dialog_rss_mib"), "diff",
    "<= +5 MiB; floor: Qt's own")
paplay_first = series("paplay_click", "first_sample_ms")
row("release -> first click sample, first click, ms (floor: paplay exec -> first)",
    series(w, "click_first_ms"), paplay_first, "ratio", "<= 10 ms")
row("release -> first click sample, device closed, ms", series(w, "click_closed_ms"),
    paplay_first, "ratio", "<= 10 ms")
row("release -> first click sample, device open (grace), ms", series(w, "click_open_ms"),
    paplay_first, "ratio", "<= 10 ms")
stop = series("service_small", "stop_last_sound_ms")
row("Stop request -> last sample at the sink, ms (vs the sink path: request -> first sample, device open)",
    stop, series("service_small", "open(median/max)", 0), "diff", "<= 1 buffer (1024 frames, 23.2 ms)")
row("Stop request -> end of the sound, in the recorded stream's own samples, ms (an upper bound)",
    series("service_small", "stop_sound_after_ms"), None, "-", "<= 1 buffer (1024 frames, 23.2 ms)")
row("playing 60 s file with the dome, CPU % of a core (floor: paplay)",
    series(w, "play_cpu_pct"), series("paplay_play", "cpu_pct"), "diff", "<= +0.4")
row("playing, wake-ups/s (floor: paplay)", series(w, "play_wakeups_per_s"),
    series("paplay_play", "wakeups_per_s"), "ratio", "<= 1.5 x")
row("playing, sound server CPU % (floor: paplay's)", series(w, "play_server_pct"),
    series("paplay_play", "server_pct"), "diff", "-")
row("playing, CPU % (floor: paplay at 23 ms, the program's device latency)",
    series(w, "play_cpu_pct"), series("paplay_23ms", "cpu_pct"), "diff", "the latency's cost")
row("playing, wake-ups/s (floor: paplay at 23 ms)", series(w, "play_wakeups_per_s"),
    series("paplay_23ms", "wakeups_per_s"), "ratio", "the latency's cost")
row("playing, sound server CPU % (floor: paplay at 23 ms)", series(w, "play_server_pct"),
    series("paplay_23ms", "server_pct"), "diff", "-")
row("playing, wake-ups/s (floor: paplay at 23 ms, 23 ms process time)",
    series(w, "play_wakeups_per_s"), series("paplay_23ms_batched", "wakeups_per_s"), "ratio",
    "batched: fewer wake-ups")
row("playing, sound server CPU % (floor: paplay at 23 ms, 23 ms process time)",
    series(w, "play_server_pct"), series("paplay_23ms_batched", "server_pct"), "diff",
    "batched: the server pays")
row("playing, CPU % (floor: bare SDL2 + libsndfile player)", series(w, "play_cpu_pct"),
    series("sdl_player", "cpu_pct"), "diff", "the libraries' cost")
row("playing, wake-ups/s (floor: bare SDL2 + libsndfile player)",
    series(w, "play_wakeups_per_s"), series("sdl_player", "wakeups_per_s"), "ratio",
    "the libraries' cost")
row("playing, sound server CPU % (floor: bare SDL2 player)", series(w, "play_server_pct"),
    series("sdl_player", "server_pct"), "diff", "-")
row("3 s after a click's sound (the grace period, then closed), program wake-ups/s",
    series(w, "grace_wakeups_per_s"), None, "-", "~0")
row("3 s after a click's sound, sound server CPU % (vs idle program)", series(w, "grace_server_pct"),
    series(w, "idle_server_pct"), "diff", "~0")
row("idle (device closed), wake-ups/s", series(w, "idle_wakeups_per_s"), None, "-", "0")
row("2 GiB vs 1 MiB file: request -> first sample, ms", series("service_large", "first"),
    series("service_small", "first"), "diff", "alike")
row("2 GiB vs 1 MiB file: peak resident memory, MiB", series("service_large", "peak_rss_mib"),
    series("service_small", "peak_rss_mib"), "diff", "<= +1 MiB")

width = max(len(r[0]) for r in rows)
print(f"{'measure':<{width}}  {'wavorin median [min-max]':<34}  {'floor median [min-max]':<34}  "
      f"{'ratio/diff':<10}  goal")
for what, ours, floor, relation, goal in rows:
    print(f"{what:<{width}}  {ours:<34}  {floor:<34}  {relation:<10}  {goal}")
