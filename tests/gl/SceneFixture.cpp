#include "gl/SceneFixture.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "core/gfx/BmpWriter.h"
#include "gfx/Gl.h"

namespace {

const double kRadToDeg = 180 / 3.14159265358979323846;

void WriteMap(const std::string& path, int w, int h, Rgb left, Rgb right) {
    std::vector<unsigned char> rgb((size_t)w * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb& c = x < w / 2 ? left : right;
            unsigned char* p = &rgb[((size_t)y * w + x) * 3];
            p[0] = (unsigned char)c.r, p[1] = (unsigned char)c.g, p[2] = (unsigned char)c.b;
        }
    EXPECT_EQ(1, WriteBmpFile(path.c_str(), EncodeBmp24(w, h, rgb.data())));
}

}  // namespace

SceneFixture::SceneFixture() : context(kWidth, kHeight) {}

void SceneFixture::SetUp() {
    ASSERT_TRUE(context.Ok()) << context.Error();
    mkdir(dir.File("Data").c_str(), 0755);
    mkdir(dir.File("Data/maps").c_str(), 0755);
    mkdir(dir.File("Data/planety_hd").c_str(), 0755);
    cwd.reset(new WorkingDir(dir.Path()));
    renderer.Resize(kWidth, kHeight);
    ASSERT_EQ(1, renderer.InitGl());
    renderer.SetLighting(1);
    universe.reset(new Universe());
    Empty();
}

void SceneFixture::TearDown() {
    universe.reset();
    renderer.ReleaseFont();
    cwd.reset();
}

std::string SceneFixture::Map(const std::string& name, Rgb colour, int w, int h) {
    const std::string path = "Data/maps/" + name;
    WriteMap(dir.File(path), w, h, colour, colour);
    return path;
}

std::string SceneFixture::HalfMap(const std::string& name, Rgb east, Rgb west) {
    const std::string path = "Data/maps/" + name;
    WriteMap(dir.File(path), 64, 32, east, west);
    return path;
}

Body& SceneFixture::Put(int slot, const std::string& name, const std::string& path, double r, double x, double y,
                        double z) {
    Body& b = universe->bodies[slot];
    std::snprintf(b.meno, sizeof b.meno, "%s", name.c_str());
    std::snprintf(b.soubor, sizeof b.soubor, "%s", path.c_str());
    b.polomer = r;
    b.hmotnost = 1;
    b.x = x, b.y = y, b.z = z;
    b.vx = b.vy = b.vz = 0;
    b.rotace = b.osa_rotace = 0;
    return b;
}

void SceneFixture::Empty() {
    for (int i = 0; i < UniverseSlots; ++i) {
        universe->bodies[i] = Body();
        universe->traits[i] = BodyTraits();
    }
}

void SceneFixture::Start(int hd) {
    universe->hd = hd;
    renderer.SetTextFullBright(hd);
    ASSERT_EQ(1, universe->Init(&renderer, 2));
}

Frame SceneFixture::Draw(const CameraPose& pose) {
    // ReadFrame asks for the back buffer of a window that may have none,
    // which GL flags; that is not the drawing's.
    while (glGetError() != GL_NO_ERROR) {
    }
    renderer.BeginFrame();
    renderer.LookFrom(pose.x, pose.y, pose.z, pose.pitch, pose.yaw, pose.roll);
    const double origin[3] = {0, 0, 0};
    universe->SetCamera(pose, kWidth, kHeight, origin);
    universe->Draw();
    EXPECT_EQ(GL_NO_ERROR, glGetError());
    return ReadFrame();
}

CameraPose SceneFixture::Looking(const double from[3], const double at[3]) {
    const double d[3] = {at[0] - from[0], at[1] - from[1], at[2] - from[2]};
    CameraPose pose{from[0], from[1], from[2], 0, 0, 0};
    // Yaw 0 looks along -z and grows to the left; pitch looks up.
    pose.yaw = std::atan2(-d[0], -d[2]) * kRadToDeg;
    pose.pitch = std::atan2(d[1], std::hypot(d[0], d[2])) * kRadToDeg;
    return pose;
}

bool SceneFixture::PixelOf(const CameraPose& pose, const double p[3], int* x, int* y) const {
    CameraView view;
    MakeCameraView(pose, kWidth, kHeight, &view);
    double px, py;
    if (!ProjectPoint(view, p, &px, &py, nullptr)) return false;
    *x = (int)std::floor(px);
    *y = (int)std::floor(py);
    return true;
}

Rgb At(const Frame& f, int x, int y) {
    if (x < 0 || y < 0 || x >= f.width || y >= f.height) return Rgb{0, 0, 0};
    const unsigned char* p = &f.rgb[((size_t)y * f.width + x) * 3];
    return Rgb{p[0], p[1], p[2]};
}

int Grey(Rgb c) { return (c.r + c.g + c.b) / 3; }

double MeanGrey(const Frame& f, int x, int y, int half) {
    double sum = 0;
    int n = 0;
    for (int dy = -half; dy <= half; ++dy)
        for (int dx = -half; dx <= half; ++dx, ++n) sum += Grey(At(f, x + dx, y + dy));
    return n ? sum / n : 0;
}
