// Frame time, tick rate, start-up time and peak memory of the real program code:
// Application::Init, Update and Render as main uses them, nothing copied.
// One measurement per process, printed as "name value" lines, one per figure;
// bench/bench_frame.sh starts a fresh process for each run, so that each pays
// the whole start-up, dynamic linking included, and gathers the runs. Not a test.
//
//   bench_frame MODE SECONDS WIDTH HEIGHT
//
// runs in a folder holding a configure.txt for WIDTHxHEIGHT and Data/, on an X
// display with GLX (tests/run_with_xvfb.sh makes one). ORRERY_BENCH_T0_US, the
// wall clock in microseconds just before exec (bash: ${EPOCHREALTIME/./}),
// adds the start-up figures counted from there.
//
//   frames     Init, first frame, 1 s warm-up, then Update+Render back to back
//              without the 100 Hz cap for SECONDS; then, in the same window, the
//              floor: glClear + SDL_GL_SwapBuffers alone. ORRERY_BENCH_DATE and
//              ORRERY_BENCH_JUMP choose another view (bench/bench_frame_hd.sh),
//              ORRERY_BENCH_INSPECT a selected body with its panel and the
//              orbits on (bench/bench_frame_inspect.sh).
//   breakdown  Render with one part of the scene switched off at a time.
//   inspect    Update+Render with a body selected and the orbits on against
//              neither, in turns (bench/bench_frame_inspect.sh).
//   loop       Init, then the real fixed-step loop (RunMainLoop, SDL's clock)
//              for SECONDS of wall time, counting ticks and reading the captions.
//   bare       the same SDL and GL set-up without the program: the floor.
//   startup    Init and the first frame only (ORRERY_BENCH_SMAPS=FILE copies
//              /proc/self/smaps there).
//   skies      Update+Render with the sky texture of Data/ and the one at
//              ORRERY_BENCH_OTHER_SKY in turns (bench/bench_sky.sh).
//   text       Render with the status and info lines, then the help screen,
//              the translations off and on (LANGUAGE, Russian unless set) in turns.
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <SDL.h>

#include "app/Application.h"
#include "core/app/MainLoop.h"
#include "core/sim/Ephemeris.h"
#include "gfx/Gl.h"
#include "gfx/GlRenderer.h"
#include "gfx/Texture.h"
#include "platform/Platform.h"
#include "sim/Universe.h"

namespace {

int64_t ClockNs(clockid_t clock) {
    timespec ts;
    clock_gettime(clock, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}
int64_t NowNs() { return ClockNs(CLOCK_MONOTONIC); }

// The moment before exec on the monotonic clock that all intervals here use.
// The script can only read the wall clock, so its stamp is moved over by the
// offset between the two clocks now.
bool StartStamp(int64_t* t0) {
    const char* text = std::getenv("ORRERY_BENCH_T0_US");
    if (!text || !*text) return false;
    int64_t wallNs = std::strtoll(text, nullptr, 10) * 1000;
    *t0 = NowNs() - (ClockNs(CLOCK_REALTIME) - wallNs);
    return true;
}

double Ms(int64_t ns) { return ns / 1e6; }

// Processor time of all threads of this process so far, user and system: on a
// busy machine the wall time of start-up swings with the load, this much less.
double CpuMs() {
    rusage u;
    if (getrusage(RUSAGE_SELF, &u) != 0) return 0;
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// Nearest-rank percentile of a copy; q in 0..1.
double Percentile(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t rank = size_t(q * double(v.size() - 1) + 0.5);
    return v[std::min(rank, v.size() - 1)];
}
double Median(const std::vector<double>& v) { return Percentile(v, 0.5); }

// kB from a "Key:   123 kB" line of a /proc file; -1 when absent.
long ProcKb(const char* file, const char* key) {
    FILE* f = std::fopen(file, "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    size_t keyLength = std::strlen(key);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, key, keyLength) == 0 && line[keyLength] == ':') {
            kb = std::strtol(line + keyLength + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return kb;
}
long StatusKb(const char* key) { return ProcKb("/proc/self/status", key); }

void ReportMemory() {
    std::printf("vmhwm_kb %ld\nvmrss_kb %ld\n", StatusKb("VmHWM"), StatusKb("VmRSS"));
    std::printf("rss_anon_kb %ld\nrss_file_kb %ld\nrss_shmem_kb %ld\n", StatusKb("RssAnon"), StatusKb("RssFile"),
                StatusKb("RssShmem"));
    // Private_Dirty is what this process alone holds in memory; the clean
    // file pages of libLLVM and the rest are shared with every GL client.
    std::printf("private_dirty_kb %ld\npss_kb %ld\n", ProcKb("/proc/self/smaps_rollup", "Private_Dirty"),
                ProcKb("/proc/self/smaps_rollup", "Pss"));
}

void ReportStartup(int64_t tMain, int64_t tInit, int64_t tFirst) {
    int64_t t0;
    if (StartStamp(&t0)) {
        std::printf("startup_ms %.3f\n", Ms(tFirst - t0));
        std::printf("exec_to_main_ms %.3f\n", Ms(tMain - t0));
    }
    std::printf("startup_cpu_ms %.3f\n", CpuMs());
    std::printf("init_ms %.3f\n", Ms(tInit - tMain));
    std::printf("first_frame_ms %.3f\n", Ms(tFirst - tInit));
    std::printf("gl_renderer %s\n", (const char*)glGetString(GL_RENDERER));
    std::printf("gl_version %s\n", (const char*)glGetString(GL_VERSION));
}

// Start-up only, then the Application ends as in main; for profiling start-up.
int MeasureStartup() {
    int64_t tMain = NowNs();
    Application app;
    if (!app.Init()) return 1;
    int64_t tInit = NowNs();
    app.Render();
    glFinish();
    ReportStartup(tMain, tInit, NowNs());
    ReportMemory();
    // Where the resident memory lies, mapping by mapping, for diagnosis.
    if (const char* copy = std::getenv("ORRERY_BENCH_SMAPS")) {
        FILE* in = std::fopen("/proc/self/smaps", "r");
        FILE* out = std::fopen(copy, "w");
        char buffer[4096];
        size_t n;
        while (in && out && (n = std::fread(buffer, 1, sizeof buffer, in)) > 0) std::fwrite(buffer, 1, n, out);
        if (in) std::fclose(in);
        if (out) std::fclose(out);
    }
    return 0;
}

// The view to measure, from the environment: ORRERY_BENCH_DATE (as --date)
// starts with the real system of that date, ORRERY_BENCH_JUMP=N rides with
// body N as the digit key does. Neither: the default camera of the built-in
// system.
int PrepareView(Application& app) {
    if (const char* date = std::getenv("ORRERY_BENCH_DATE")) {
        if (!ParseDateArgument(date, &app.startDate)) return 0;
    }
    return 1;
}

void JumpAsTheUserWould(Application& app) {
    const char* jump = std::getenv("ORRERY_BENCH_JUMP");
    if (!jump || !app.universe) return;
    const int n = std::atoi(jump);
    static Uint8 keys[SDLK_LAST];
    std::memset(keys, 0, sizeof keys);
    keys[n == 10 ? SDLK_0 : SDLK_0 + n] = 1;
    app.HandleKeys(keys);
}

// ORRERY_BENCH_INSPECT=N: body N selected with Tab, its panel shown, and
// every orbit drawn (o) unless ORRERY_BENCH_ORBITS=0, as a user would have
// them (bench/bench_frame_inspect.sh).
void InspectAsTheUserWould(Application& app) {
    const char* inspect = std::getenv("ORRERY_BENCH_INSPECT");
    if (!inspect || !app.universe) return;
    const int n = std::atoi(inspect);
    static Uint8 keys[SDLK_LAST];
    std::memset(keys, 0, sizeof keys);
    for (int i = 0; i < UniverseSlots && Inspector::Selected(*app.universe) != n; ++i) {
        keys[SDLK_TAB] = 1;
        app.HandleKeys(keys);
    }
    const char* orbits = std::getenv("ORRERY_BENCH_ORBITS");
    if (orbits && std::atoi(orbits) == 0) return;
    keys[SDLK_o] = 1;
    app.HandleKeys(keys);
}

int MeasureFrames(double seconds) {
    int64_t tMain = NowNs();
    Application app;
    if (!PrepareView(app) || !app.Init()) return 1;
    int64_t tInit = NowNs();
    JumpAsTheUserWould(app);
    InspectAsTheUserWould(app);
    app.Render();
    glFinish();  // the swap has been handed to X; make sure GL has nothing left
    int64_t tFirst = NowNs();
    ReportStartup(tMain, tInit, tFirst);

    int64_t end = NowNs() + 1000000000;  // warm-up: caches, llvmpipe's shader variants
    while (NowNs() < end) {
        app.Update();
        app.Render();
    }

    std::vector<double> frame, render, update;
    const double cpuBefore = CpuMs();
    int64_t previous = NowNs();
    end = previous + int64_t(seconds * 1e9);
    while (previous < end) {
        app.Update();
        int64_t tUpdated = NowNs();
        app.Render();
        int64_t tRendered = NowNs();
        update.push_back(Ms(tUpdated - previous));
        render.push_back(Ms(tRendered - tUpdated));
        frame.push_back(Ms(tRendered - previous));
        previous = tRendered;
    }
    // Processor time per frame moves far less than wall time with the load
    // of a shared machine.
    const double cpuPerFrame = (CpuMs() - cpuBefore) / double(frame.size());
    std::printf("frame_median_ms %.3f\nframe_p90_ms %.3f\n", Median(frame), Percentile(frame, 0.9));
    std::printf("frame_cpu_ms %.3f\n", cpuPerFrame);
    std::printf("render_median_ms %.3f\nupdate_median_ms %.4f\n", Median(render), Median(update));
    std::printf("frames_per_s_uncapped %.1f\n", 1000.0 / Median(frame));

    // The floor in the same window and context: what one frame costs before
    // anything is drawn into it.
    std::vector<double> floorTimes;
    previous = NowNs();
    end = previous + int64_t(seconds * 1e9);
    while (previous < end) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SDL_GL_SwapBuffers();
        int64_t t = NowNs();
        floorTimes.push_back(Ms(t - previous));
        previous = t;
    }
    std::printf("floor_median_ms %.3f\nfloor_p90_ms %.3f\n", Median(floorTimes), Percentile(floorTimes, 0.9));
    ReportMemory();
    return 0;
}

// What the inspection costs a frame: Update+Render with ORRERY_BENCH_INSPECT's
// body selected (its panel, its ring) and the orbits on, against neither, in
// turns of five frames in one window, so that the load of a shared machine
// falls on both alike. Wall time and processor time per frame, each side.
int MeasureInspect(double seconds) {
    Application app;
    if (!PrepareView(app) || !app.Init() || !app.universe) return 1;
    JumpAsTheUserWould(app);
    InspectAsTheUserWould(app);
    const int selected = app.universe->selected, orbits = app.inspect.showOrbits;
    std::vector<double> times[2];
    double cpu[2] = {};
    int64_t end = NowNs() + 1000000000;  // warm-up, both sides' shaders included
    for (int phase = 0; phase < 2; ++phase) {
        const bool counted = phase == 1;
        if (counted) end = NowNs() + int64_t(seconds * 1e9);
        while (NowNs() < end) {
            for (int on = 0; on < 2; ++on) {
                app.universe->selected = on ? selected : -1;
                app.inspect.showOrbits = on ? orbits : 0;
                const double c = CpuMs();
                for (int k = 0; k < 5; ++k) {
                    const int64_t t = NowNs();
                    app.Update();
                    app.Render();
                    if (counted) times[on].push_back(Ms(NowNs() - t));
                }
                if (counted) cpu[on] += CpuMs() - c;
            }
        }
    }
    for (int on = 0; on < 2; ++on) {
        const char* name = on ? "inspect_on" : "inspect_off";
        std::printf("%s_median_ms %.3f\n%s_cpu_ms %.3f\n", name, Median(times[on]), name,
                    cpu[on] / double(times[on].size()));
    }
    return 0;
}

// Where the frame time goes: Render with one part of the scene switched off at
// a time, from the outside, through the public fields, and put back before the
// next frame. Variants alternate in short bursts so that load from elsewhere
// on the machine falls on all of them alike. For diagnosis only.
enum Variant {
    Full, NoText, NoSky, NoLighting, SkyNoMipmap, OnlySky, OnlySkyNoDepth, Floor, ClearOnly, VariantCount
};
const char* const kVariantNames[VariantCount] = {"full",     "no_text",  "no_sky",         "no_lighting", "sky_linear",
                                                 "only_sky", "only_sky_no_depth", "floor", "clear_only"};

void RenderVariant(Application& app, int variant) {
    Universe& u = *app.universe;
    if (variant == Floor || variant == ClearOnly) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (variant == Floor) SDL_GL_SwapBuffers();
        else glFinish();
        return;
    }
    uint32_t font = app.renderer.fontBase;
    double masses[UniverseSlots];
    for (int i = 0; i < UniverseSlots; ++i) masses[i] = u.bodies[i].hmotnost;
    if (variant == NoText || variant == OnlySky || variant == OnlySkyNoDepth) app.renderer.fontBase = 0;
    if (variant == NoSky) u.bodies[0].hmotnost = 0;
    if (variant == OnlySky || variant == OnlySkyNoDepth)
        for (int i = 1; i < UniverseSlots; ++i) u.bodies[i].hmotnost = 0;
    // With nothing but the backdrop drawn the picture is the same without the
    // depth test; the difference is what depth testing the sky costs.
    if (variant == OnlySkyNoDepth) glDisable(GL_DEPTH_TEST);
    if (variant == NoLighting) app.renderer.SetLighting(0);
    if (variant == SkyNoMipmap) {
        glBindTexture(GL_TEXTURE_2D, app.renderer.TextureName(u.textures[0]));
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
    app.Render();
    if (variant == SkyNoMipmap) {
        glBindTexture(GL_TEXTURE_2D, app.renderer.TextureName(u.textures[0]));
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    }
    app.renderer.SetLighting(app.lighting);
    app.renderer.SetBlending(app.blending);
    for (int i = 0; i < UniverseSlots; ++i) u.bodies[i].hmotnost = masses[i];
    app.renderer.fontBase = font;
}

int MeasureBreakdown(double seconds) {
    Application app;
    if (!app.Init() || !app.universe) return 1;
    int64_t end = NowNs() + 1000000000;
    int variant = 0;
    while (NowNs() < end) {  // warm-up, every variant's shaders included
        RenderVariant(app, variant);
        variant = (variant + 1) % VariantCount;
    }
    // Processor time of all our threads per frame as well: while other
    // programs compete for the cores it moves much less than wall time. The
    // X server's share of a swap is not in it.
    std::vector<double> times[VariantCount];
    double cpu[VariantCount] = {};
    end = NowNs() + int64_t(seconds * 1e9);
    while (NowNs() < end) {
        for (int v = 0; v < VariantCount; ++v) {
            double c = CpuMs();
            for (int k = 0; k < 5; ++k) {
                int64_t t = NowNs();
                RenderVariant(app, v);
                times[v].push_back(Ms(NowNs() - t));
            }
            cpu[v] += CpuMs() - c;
        }
    }
    for (int v = 0; v < VariantCount; ++v) {
        std::printf("bd_%s_ms %.3f\n", kVariantNames[v], Median(times[v]));
        std::printf("bd_%s_cpu_ms %.3f\n", kVariantNames[v], cpu[v] / times[v].size());
    }
    return 0;
}

// Two sky textures in one process: the one the universe loaded and the one
// at $ORRERY_BENCH_OTHER_SKY, taking turns in bursts of five frames (the sky's
// map swapped for each turn, outside the timing), so that whatever else loads
// the machine falls on both alike. The ratio is the first's cost against
// the other's.
int MeasureSkies(double seconds) {
    const char* other = std::getenv("ORRERY_BENCH_OTHER_SKY");
    Application app;
    if (!other || !app.Init() || !app.universe) return 1;
    Universe& u = *app.universe;
    uint32_t maps[2] = {u.textures[0], app.renderer.MakeTexture(other, FilterMipmap, LevelsByGlu)};
    if (!maps[1]) return 1;
    auto use = [&](int which) { u.textures[0] = maps[which]; };
    std::vector<double> times[2];
    double cpu[2] = {};
    int64_t warm = NowNs() + 1000000000, end = warm + int64_t(seconds * 1e9);
    for (int turn = 0; NowNs() < end; turn ^= 1) {
        use(turn);
        bool counted = NowNs() >= warm;
        double c = CpuMs();
        for (int k = 0; k < 5; ++k) {
            int64_t t = NowNs();
            app.Update();
            app.Render();
            if (counted) times[turn].push_back(Ms(NowNs() - t));
        }
        if (counted) cpu[turn] += CpuMs() - c;
    }
    use(0);
    app.renderer.ReleaseTexture(maps[1]);
    std::printf("sky_ms %.3f\nsky_cpu_ms %.3f\n", Median(times[0]), cpu[0] / times[0].size());
    std::printf("other_sky_ms %.3f\nother_sky_cpu_ms %.3f\n", Median(times[1]), cpu[1] / times[1].size());
    std::printf("sky_ratio %.4f\nsky_cpu_ratio %.4f\n", Median(times[0]) / Median(times[1]),
                (cpu[0] / times[0].size()) / (cpu[1] / times[1].size()));
    return 0;
}

// The floor of start-up and memory: the same SDL and GL set-up as the program
// (same attributes, an OpenGL window of the same size), one cleared frame, then
// empty frames for a few seconds. No font, no textures, no scene.
int MeasureBare(double seconds, int width, int height) {
    int64_t tMain = NowNs();
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0) return 1;
    int64_t tSdl = NowNs();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (!SDL_SetVideoMode(width, height, 0, SDL_OPENGL)) return 1;
    int64_t tMode = NowNs();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapBuffers();
    glFinish();
    int64_t tFirst = NowNs();
    std::printf("bare_startup_cpu_ms %.3f\n", CpuMs());
    int64_t t0;
    if (StartStamp(&t0)) {
        std::printf("bare_startup_ms %.3f\n", Ms(tFirst - t0));
        std::printf("bare_exec_to_main_ms %.3f\n", Ms(tMain - t0));
    }
    std::printf("bare_sdl_init_ms %.3f\nbare_set_video_mode_ms %.3f\nbare_first_swap_ms %.3f\n",
                Ms(tSdl - tMain), Ms(tMode - tSdl), Ms(tFirst - tMode));
    int64_t end = NowNs() + int64_t(seconds * 1e9);
    while (NowNs() < end) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SDL_GL_SwapBuffers();
    }
    ReportMemory();
    SDL_Quit();
    return 0;
}

// The real loop with a host that forwards to the application exactly as the
// program's own host does, and counts.
class CountingHost : public LoopHost {
public:
    CountingHost(Application& a, uint32_t runMs) : app(a), runMs(runMs), start(SDL_GetTicks()) {}
    uint32_t Ticks() override { return SDL_GetTicks(); }
    int QuitRequested() override {
        if (app.quit) return 1;
        return SDL_GetTicks() - start >= runMs;
    }
    void Tick() override {
        app.Update();
        ++ticks;
        lastTickNs = NowNs();
    }
    void Frame() override {
        app.Render();
        ++frames;
    }
    void SetCaption(const char* caption) override {
        SDL_WM_SetCaption(caption, nullptr);
        int fps = 0, rate = 0;
        if (std::sscanf(caption, "fps: %d (%d)", &fps, &rate) == 2) captions.push_back(fps);
        else badCaptions.push_back(caption);
    }

    Application& app;
    uint32_t runMs;
    uint32_t start;
    long ticks = 0;
    long frames = 0;
    int64_t lastTickNs = 0;
    std::vector<int> captions;
    std::vector<std::string> badCaptions;
};

int MeasureLoop(double seconds) {
    int64_t tMain = NowNs();
    Application app;
    if (!app.Init()) return 1;
    int64_t tInit = NowNs();
    ReportStartup(tMain, tInit, tInit);

    CountingHost host(app, uint32_t(seconds * 1000));
    int64_t t0 = NowNs();
    RunMainLoop(host);
    double wall = (NowNs() - t0) / 1e9;
    // Right after a run of ticks the loop has caught up with the clock, so the
    // count then is the count owed; the frame drawn after it is not held
    // against the rate.
    double tickWall = (host.lastTickNs - t0) / 1e9;

    std::printf("loop_wall_s %.4f\n", wall);
    std::printf("loop_ticks %ld\nloop_frames %ld\n", host.ticks, host.frames);
    std::printf("steps_per_s %.3f\n", host.ticks / tickWall);
    std::printf("steps_per_s_whole_run %.3f\n", host.ticks / wall);
    std::printf("frames_per_s %.2f\n", host.frames / wall);
    // The first caption covers only the part of a second since SDL started.
    std::vector<double> full;
    for (size_t i = 1; i < host.captions.size(); ++i) full.push_back(host.captions[i]);
    std::printf("caption_count %zu\n", host.captions.size());
    std::printf("caption_fps_median %.1f\n", Median(full));
    std::printf("caption_fps_min %.1f\n", full.empty() ? 0.0 : *std::min_element(full.begin(), full.end()));
    std::printf("caption_fps_max %.1f\n", full.empty() ? 0.0 : *std::max_element(full.begin(), full.end()));
    std::printf("caption_fps_all");
    for (int c : host.captions) std::printf(" %d", c);
    std::printf("\n");
    for (const std::string& s : host.badCaptions) std::printf("caption_unparsed %s\n", s.c_str());
    ReportMemory();
    return 0;
}

// What trails add to a frame at their largest: every ring filled (about five
// million steps, enough for Pluto's), then frames with trails off and on in
// alternating bursts, so that load from elsewhere falls on both alike.
int MeasureTrails(double seconds) {
    Application app;
    if (!app.Init()) return 1;
    app.showTrails = 1;
    const Trails::Track& pluto = app.trails.TrackOf(10);
    for (long i = 0; i < 20000000 && pluto.count < Trails::PointsPerBody; ++i) {
        app.universe->Step();
        app.trails.Record(*app.universe, app.frameBody);
    }
    // From above the inner system, where the trails cover the most pixels.
    app.camY = 400;
    app.pitch = -80;
    for (int i = 0; i < 50; ++i) app.Render();  // warm-up, both kinds of frame
    std::vector<double> off, on;
    const int64_t end = NowNs() + int64_t(seconds * 1e9);
    while (NowNs() < end) {
        for (int variant = 0; variant < 2; ++variant) {
            app.showTrails = variant;
            for (int i = 0; i < 20; ++i) {
                const int64_t t = NowNs();
                app.Render();
                (variant ? on : off).push_back(Ms(NowNs() - t));
            }
        }
    }
    std::printf("trails_points_pluto %d\n", pluto.count);
    std::printf("trails_off_frame_ms %.3f\ntrails_on_frame_ms %.3f\n", Median(off), Median(on));
    std::printf("trails_ratio %.4f\n", Median(on) / Median(off));
    return 0;
}

// Frames with text on (the status lines, the info line and the labels; then
// the help screen) with the texts as written and in the language LANGUAGE
// names (Russian unless set: every character beyond ASCII), blocks of frames
// alternating in one process and one window.
int MeasureText(double seconds) {
    if (!std::getenv("LANGUAGE")) setenv("LANGUAGE", "ru", 1);
    Application app;
    if (!app.Init()) return 1;
    app.showInfo = 1;
    if (!StartTranslations(ORRERY_CATALOG_DIR) || std::strcmp(Translate("ERROR"), "ERROR") == 0) {
        std::fprintf(stderr, "bench_frame: no catalog for LANGUAGE=%s in %s\n", std::getenv("LANGUAGE"),
                     ORRERY_CATALOG_DIR);
        return 1;
    }
    std::printf("text_language %s\ntext_help_hint %s\n", std::getenv("LANGUAGE"), Translate("help - F1"));
    for (int help = 0; help < 2; ++help) {
        app.showHelp = help;
        for (int i = 0; i < 50; ++i) app.Render();  // warm-up: every glyph made
    }
    std::vector<double> frames[2][2];  // [help][translated]
    const int64_t end = NowNs() + int64_t(seconds * 1e9);
    while (NowNs() < end) {
        for (int variant = 0; variant < 4; ++variant) {
            const int help = variant / 2, translated = variant % 2;
            if (translated)
                StartTranslations(ORRERY_CATALOG_DIR);
            else
                StopTranslations();
            app.showHelp = help;
            // Short blocks, so that the load of the machine falls on all four alike.
            for (int i = 0; i < 5; ++i) {
                const int64_t t = NowNs();
                app.Render();
                frames[help][translated].push_back(Ms(NowNs() - t));
            }
        }
    }
    const char* names[2] = {"status", "help"};
    for (int help = 0; help < 2; ++help) {
        const double off = Median(frames[help][0]), on = Median(frames[help][1]);
        std::printf("text_%s_translate0_frame_ms %.3f\ntext_%s_translate1_frame_ms %.3f\ntext_%s_ratio %.4f\n",
                    names[help], off, names[help], on, names[help], on / off);
    }
    std::printf("text_missing_glyphs %d\n", app.renderer.missingGlyphs);
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: bench_frame frames|breakdown|inspect|loop|bare|startup|trails|skies|text SECONDS WIDTH HEIGHT\n"
                 "  in a folder with configure.txt for that size and Data/, on an X display with GLX;\n"
                 "  bench/bench_frame.sh runs and gathers them all\n");
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 5) return Usage();
    const std::string mode = argv[1];
    const double seconds = std::strtod(argv[2], nullptr);
    const int width = std::atoi(argv[3]), height = std::atoi(argv[4]);
    if (seconds < 0 || width <= 0 || height <= 0) return Usage();
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (mode == "frames") return MeasureFrames(seconds);
    if (mode == "breakdown") return MeasureBreakdown(seconds);
    if (mode == "inspect") return MeasureInspect(seconds);
    if (mode == "loop") return MeasureLoop(seconds);
    if (mode == "bare") return MeasureBare(seconds, width, height);
    if (mode == "startup") return MeasureStartup();
    if (mode == "trails") return MeasureTrails(seconds);
    if (mode == "skies") return MeasureSkies(seconds);
    if (mode == "text") return MeasureText(seconds);
    return Usage();
}
