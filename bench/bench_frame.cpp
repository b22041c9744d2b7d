// Frame time, tick rate, start-up time and peak memory of the real program code:
// Application::Init, Update and Render as main uses them, nothing copied.
// Needs an X display with GLX; run it under tests/run_with_xvfb.sh with a screen
// of at least 1920x1080 (bench/bench_frame.sh does both). Not a test.
//
// The driver (no --child) starts every measurement as a fresh process of itself,
// so each one pays the whole start-up, dynamic linking included, and each has
// its own window of the size under test. A child works in a temporary folder
// holding a configure.txt for that size and a link to the textures.
//
//   frames WxH  Init, first frame, 1 s warm-up, then Update+Render back to back
//               without the 100 Hz cap; then, in the same window, the floor:
//               glClear + SDL_GL_SwapBuffers alone.
//   loop WxH    Init, then the real fixed-step loop (RunMainLoop, SDL's clock)
//               for a fixed wall time, counting ticks and reading the captions.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include <SDL.h>

#include "app/Application.h"
#include "app/MainLoop.h"
#include "gfx/Gl.h"
#include "sim/Universe.h"

namespace {

const char* const kT0Variable = "ORRERY_BENCH_T0_NS";

int64_t NowNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
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

// ---- children ------------------------------------------------------------

void ReportStartup(int64_t tMain, int64_t tInit, int64_t tFirst) {
    const char* t0Text = std::getenv(kT0Variable);
    if (t0Text) {
        int64_t t0 = std::strtoll(t0Text, nullptr, 10);
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
int ChildStartup() {
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

int ChildFrames(double seconds) {
    int64_t tMain = NowNs();
    Application app;
    if (!app.Init()) return 1;
    int64_t tInit = NowNs();
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
    std::printf("frame_median_ms %.3f\nframe_p90_ms %.3f\n", Median(frame), Percentile(frame, 0.9));
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
        glBindTexture(GL_TEXTURE_2D, u.textures[0]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
    app.Render();
    if (variant == SkyNoMipmap) {
        glBindTexture(GL_TEXTURE_2D, u.textures[0]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    }
    app.renderer.SetLighting(app.lighting);
    app.renderer.SetBlending(app.blending);
    for (int i = 0; i < UniverseSlots; ++i) u.bodies[i].hmotnost = masses[i];
    app.renderer.fontBase = font;
}

int ChildBreakdown(double seconds) {
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

// The floor of start-up and memory: the same SDL and GL set-up as the program
// (same attributes, an OpenGL window of the same size), one cleared frame, then
// empty frames for a few seconds. No font, no textures, no scene.
int ChildBare(double seconds, int width, int height) {
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
    const char* t0Text = std::getenv(kT0Variable);
    if (t0Text) std::printf("bare_startup_ms %.3f\n", Ms(tFirst - std::strtoll(t0Text, nullptr, 10)));
    std::printf("bare_exec_to_main_ms %.3f\n", t0Text ? Ms(tMain - std::strtoll(t0Text, nullptr, 10)) : 0.0);
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

int ChildLoop(double seconds) {
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

// ---- driver --------------------------------------------------------------

typedef std::map<std::string, std::string> Result;

std::string SourceData() {
    std::string file = __FILE__;
    size_t slash = file.rfind("/bench/");
    if (slash == std::string::npos) return "Data";
    return file.substr(0, slash) + "/Data";
}

// A folder with configure.txt for the size and Data linked to the textures.
int MakeWorkDir(int width, int height, const std::string& data, std::string* out) {
    char pattern[] = "/tmp/orrery-bench.XXXXXX";
    if (!mkdtemp(pattern)) return 0;
    std::string dir = pattern;
    std::string config = dir + "/configure.txt";
    FILE* f = std::fopen(config.c_str(), "w");
    if (!f) return 0;
    std::fprintf(f, "width %d\nheight %d\noglw 0\noglh 0\nbpp 0\nfullscreen 0\n", width, height);
    std::fclose(f);
    if (symlink(data.c_str(), (dir + "/Data").c_str()) != 0) return 0;
    *out = dir;
    return 1;
}

void RemoveWorkDir(const std::string& dir) {
    unlink((dir + "/Data").c_str());
    unlink((dir + "/configure.txt").c_str());
    rmdir(dir.c_str());
}

// Runs one child measurement and parses its "key value" lines.
int RunChild(const char* self, const std::string& dir, const char* mode, double seconds, int width, int height,
             Result* result) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return 0;
    char secondsText[32], widthText[16], heightText[16];
    std::snprintf(secondsText, sizeof secondsText, "%g", seconds);
    std::snprintf(widthText, sizeof widthText, "%d", width);
    std::snprintf(heightText, sizeof heightText, "%d", height);
    pid_t pid = fork();
    if (pid < 0) return 0;
    if (pid == 0) {
        close(pipeFds[0]);
        dup2(pipeFds[1], 1);
        close(pipeFds[1]);
        if (chdir(dir.c_str()) != 0) _exit(126);
        char t0[32];
        std::snprintf(t0, sizeof t0, "%lld", (long long)NowNs());
        setenv(kT0Variable, t0, 1);
        execl(self, self, "--child", mode, secondsText, widthText, heightText, (char*)nullptr);
        _exit(127);
    }
    close(pipeFds[1]);
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0) text.append(buffer, size_t(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_frame: child %s failed (status %d)\n", mode, status);
        return 0;
    }
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        std::string line = text.substr(pos, eol - pos);
        size_t space = line.find(' ');
        if (space != std::string::npos) (*result)[line.substr(0, space)] = line.substr(space + 1);
        pos = eol + 1;
    }
    return 1;
}

std::string Get(const Result& r, const char* key) {
    auto it = r.find(key);
    return it == r.end() ? std::string("-") : it->second;
}

std::vector<double> Column(const std::vector<Result>& runs, const char* key, double scale) {
    std::vector<double> v;
    for (const Result& r : runs) {
        auto it = r.find(key);
        if (it != r.end()) v.push_back(std::strtod(it->second.c_str(), nullptr) * scale);
    }
    return v;
}

std::string Spread(const std::vector<double>& v, const char* format) {
    if (v.empty()) return "-";
    char median[32], low[32], high[32];
    std::snprintf(median, sizeof median, format, Median(v));
    std::snprintf(low, sizeof low, format, *std::min_element(v.begin(), v.end()));
    std::snprintf(high, sizeof high, format, *std::max_element(v.begin(), v.end()));
    return std::string(median) + "  [" + low + " .. " + high + "]";
}

void Row(const char* what, const std::vector<Result>& runs, const char* key, const char* format,
         const char* goal, double scale = 1.0) {
    std::printf("  %-46s %-30s %s\n", what, Spread(Column(runs, key, scale), format).c_str(), goal);
}
const double kKbToMb = 1.0 / 1024;

void BreakdownRow(const char* what, const std::vector<Result>& runs, const char* variant) {
    std::string wall = std::string("bd_") + variant + "_ms";
    std::string cpu = std::string("bd_") + variant + "_cpu_ms";
    std::printf("    %-44s %-30s cpu %s\n", what, Spread(Column(runs, wall.c_str(), 1), "%.2f").c_str(),
                Spread(Column(runs, cpu.c_str(), 1), "%.2f").c_str());
}

void MemoryRows(const char* what, const std::vector<Result>& runs, const char* goal) {
    Row(what, runs, "vmhwm_kb", "%.1f", goal, kKbToMb);
    Row("  resident: anonymous (MB)", runs, "rss_anon_kb", "%.1f", "", kKbToMb);
    Row("  resident: file-backed, libraries (MB)", runs, "rss_file_kb", "%.1f", "", kKbToMb);
    Row("  private dirty, this process alone (MB)", runs, "private_dirty_kb", "%.1f", "", kKbToMb);
}

struct Size {
    int width, height;
};

int Driver(const char* self, int reps, double frameSeconds, double loopSeconds, int loopReps,
           const std::string& data) {
    const Size sizes[] = {{640, 480}, {1920, 1080}};
    std::map<int, std::vector<Result>> frames, bare, parts;
    std::map<int, std::vector<Result>> loops;
    std::string renderer, version;

    for (const Size& size : sizes) {
        std::string dir;
        if (!MakeWorkDir(size.width, size.height, data, &dir)) {
            std::fprintf(stderr, "bench_frame: cannot prepare a work folder\n");
            return 1;
        }
        // Alternating the program and the bare window spreads the load of
        // whatever else runs on the machine over both.
        for (int i = 0; i < reps; ++i) {
            Result r, b, p;
            if (!RunChild(self, dir, "frames", frameSeconds, size.width, size.height, &r)) return 1;
            if (!RunChild(self, dir, "bare", 2, size.width, size.height, &b)) return 1;
            if (!RunChild(self, dir, "breakdown", frameSeconds, size.width, size.height, &p)) return 1;
            parts[size.width].push_back(p);
            renderer = r["gl_renderer"];
            version = r["gl_version"];
            frames[size.width].push_back(r);
            bare[size.width].push_back(b);
            std::fprintf(stderr, "frames %dx%d run %d: frame %s ms, floor %s ms, start-up %s ms (bare %s ms)\n",
                         size.width, size.height, i + 1, r["frame_median_ms"].c_str(),
                         r["floor_median_ms"].c_str(), r["startup_ms"].c_str(), b["bare_startup_ms"].c_str());
        }
        // The goal is set for the big window; one run in the small one shows
        // the cap at work when frames are cheap.
        {
            int runs = size.width == 1920 ? loopReps : std::min(loopReps, 1);
            for (int i = 0; i < runs; ++i) {
                Result r;
                if (!RunChild(self, dir, "loop", loopSeconds, size.width, size.height, &r)) return 1;
                loops[size.width].push_back(r);
                std::fprintf(stderr, "loop %dx%d run %d: %s steps/s, captions: %s\n", size.width, size.height,
                             i + 1, r["steps_per_s"].c_str(), r["caption_fps_all"].c_str());
            }
        }
        RemoveWorkDir(dir);
    }

    long cores = sysconf(_SC_NPROCESSORS_ONLN);
    std::printf("orrery frame and tick benchmark\n");
    std::printf("  machine: %ld cores, GL_RENDERER \"%s\", GL_VERSION \"%s\"\n", cores, renderer.c_str(),
                version.c_str());
    std::printf("  %d fresh processes per size, %.0f s of frames each after 1 s warm-up; %d loop runs of %.0f s\n",
                reps, frameSeconds, loopReps, loopSeconds);
    std::printf("  figures: median of the runs [lowest .. highest run]\n\n");
    for (const Size& size : sizes) {
        const std::vector<Result>& runs = frames[size.width];
        const std::vector<Result>& floors = bare[size.width];
        std::printf("%dx%d, default camera, Update+Render per frame, no cap\n", size.width, size.height);
        Row("frame time median (ms)", runs, "frame_median_ms", "%.2f", "");
        Row("frame time p90 (ms)", runs, "frame_p90_ms", "%.2f", "");
        Row("  Render incl. swap, median (ms)", runs, "render_median_ms", "%.2f", "");
        Row("  Update, median (ms)", runs, "update_median_ms", "%.4f", "");
        Row("uncapped frames per second", runs, "frames_per_s_uncapped", "%.1f", "");
        Row("floor: glClear+SwapBuffers, median (ms)", runs, "floor_median_ms", "%.2f", "");
        Row("floor: glClear+SwapBuffers, p90 (ms)", runs, "floor_p90_ms", "%.2f", "");
        const std::vector<Result>& pieces = parts[size.width];
        std::printf("  where the frame time goes (Render only, variants alternating in one process;\n"
                    "  wall ms, then processor ms of all our threads per frame):\n");
        BreakdownRow("full frame", pieces, "full");
        BreakdownRow("without text", pieces, "no_text");
        BreakdownRow("without lighting", pieces, "no_lighting");
        BreakdownRow("sky texture GL_LINEAR, no mipmaps", pieces, "sky_linear");
        BreakdownRow("without the sky sphere", pieces, "no_sky");
        BreakdownRow("only the sky sphere, no text", pieces, "only_sky");
        BreakdownRow("only the sky sphere, no depth test", pieces, "only_sky_no_depth");
        BreakdownRow("glClear + swap only", pieces, "floor");
        BreakdownRow("glClear + glFinish, no swap", pieces, "clear_only");
        Row("start to first frame swapped (ms)", runs, "startup_ms", "%.1f", "goal < 150");
        Row("  processor time to then, all threads (ms)", runs, "startup_cpu_ms", "%.1f", "");
        Row("  exec to main (ms)", runs, "exec_to_main_ms", "%.1f", "");
        Row("  Application::Init (ms)", runs, "init_ms", "%.1f", "");
        Row("  first Render + glFinish (ms)", runs, "first_frame_ms", "%.1f", "");
        Row("bare GL window: start to first swap (ms)", floors, "bare_startup_ms", "%.1f", "floor");
        Row("  processor time to then, all threads (ms)", floors, "bare_startup_cpu_ms", "%.1f", "");
        Row("  exec to main (ms)", floors, "bare_exec_to_main_ms", "%.1f", "");
        Row("  SDL_Init (ms)", floors, "bare_sdl_init_ms", "%.1f", "");
        Row("  SDL_SetVideoMode (ms)", floors, "bare_set_video_mode_ms", "%.1f", "");
        Row("  first clear + swap + glFinish (ms)", floors, "bare_first_swap_ms", "%.1f", "");
        MemoryRows("peak resident VmHWM after ~4 s (MB)", runs, "goal < 60");
        MemoryRows("bare GL window: VmHWM (MB)", floors, "floor");
        std::printf("\n");
    }
    for (const Size& size : sizes) {
        const std::vector<Result>& runs = loops[size.width];
        if (runs.empty()) continue;
        std::printf("%dx%d, real main loop (RunMainLoop, SDL_GetTicks) for %.0f s, %zu run(s)\n", size.width,
                    size.height, loopSeconds, runs.size());
        Row("simulation steps per wall-clock second", runs, "steps_per_s", "%.2f", "goal 100.0 +-0.5%");
        Row("  same, counting the last frame's time", runs, "steps_per_s_whole_run", "%.2f", "");
        Row("frames per second (counted)", runs, "frames_per_s", "%.1f", "");
        Row("caption fps, median of full seconds", runs, "caption_fps_median", "%.0f", "goal 100");
        Row("caption fps, lowest full second", runs, "caption_fps_min", "%.0f", "");
        Row("caption fps, highest full second", runs, "caption_fps_max", "%.0f", "");
        Row("peak resident VmHWM after the run (MB)", runs, "vmhwm_kb", "%.1f", "goal < 60", kKbToMb);
        for (size_t i = 0; i < runs.size(); ++i)
            std::printf("  run %zu captions: %s\n", i + 1, Get(runs[i], "caption_fps_all").c_str());
        std::printf("\n");
    }
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: bench_frame [--reps N] [--seconds S] [--loop-seconds S] [--loop-reps N] [--data DIR]\n"
                 "       (needs an X display with GLX, e.g. under tests/run_with_xvfb.sh)\n");
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc == 6 && std::strcmp(argv[1], "--child") == 0) {
        double seconds = std::strtod(argv[3], nullptr);
        if (std::strcmp(argv[2], "frames") == 0) return ChildFrames(seconds);
        if (std::strcmp(argv[2], "loop") == 0) return ChildLoop(seconds);
        if (std::strcmp(argv[2], "startup") == 0) return ChildStartup();
        if (std::strcmp(argv[2], "breakdown") == 0) return ChildBreakdown(seconds);
        if (std::strcmp(argv[2], "bare") == 0) return ChildBare(seconds, std::atoi(argv[4]), std::atoi(argv[5]));
        return Usage();
    }
    int reps = 5, loopReps = 3;
    double seconds = 3, loopSeconds = 30;
    std::string data = SourceData();
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (i + 1 >= argc) return Usage();
        if (a == "--reps") reps = std::max(1, std::atoi(argv[++i]));
        else if (a == "--seconds") seconds = std::strtod(argv[++i], nullptr);
        else if (a == "--loop-seconds") loopSeconds = std::strtod(argv[++i], nullptr);
        else if (a == "--loop-reps") loopReps = std::max(0, std::atoi(argv[++i]));
        else if (a == "--data") data = argv[++i];
        else return Usage();
    }
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return 1;
    self[n] = '\0';
    if (data[0] != '/') {
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd)) data = std::string(cwd) + "/" + data;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    return Driver(self, reps, seconds, loopSeconds, loopReps, data);
}
