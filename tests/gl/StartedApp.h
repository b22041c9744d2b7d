// A started program in a scratch folder with a 320x240 window, the built-in
// system or the real one on a date, driven by its keys as the main loop
// drives them: for the tests of what a user does with the moons and the
// selection.
#ifndef ORRERY_TESTS_GL_STARTEDAPP_H
#define ORRERY_TESTS_GL_STARTEDAPP_H

#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "app/Application.h"
#include "core/sim/Ephemeris.h"
#include "sim/Universe.h"
#include "support/TestSupport.h"

class StartedApp : public ::testing::Test {
protected:
    // The built-in system for a null date, else the real one then.
    void Start(const char* date) {
        WriteWholeFile(dir.File("configure.txt"), "width 320 height 240\n");
        mkdir(dir.File("Data").c_str(), 0755);
        cwd.reset(new WorkingDir(dir.Path()));
        if (date) {
            double jd;
            ASSERT_EQ(1, ParseDateArgument(date, &jd));
            ASSERT_EQ(1, real.MakeRealSystem(jd));
            app.startUniverse = &real;
        }
        ASSERT_EQ(1, app.Init());
        std::memset(keys, 0, sizeof keys);
    }
    // One tick with the key down.
    void Press(int key) {
        keys[key] = 1;
        app.HandleKeys(keys);
        keys[key] = 0;
    }
    // Where the camera stands in the model, the view's frame body added.
    void AbsoluteCamera(double out[3]) {
        double frame[3] = {0, 0, 0};
        if (app.frameBody) app.universe->ViewPlace(app.frameBody, frame);
        out[0] = app.camX + frame[0], out[1] = app.camY + frame[1], out[2] = app.camZ + frame[2];
    }
    static double Distance(const double a[3], const double b[3]) {
        return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                         (a[2] - b[2]) * (a[2] - b[2]));
    }

    ScratchDir dir;
    std::unique_ptr<WorkingDir> cwd;
    MessageRecorder messages;  // the moons' maps are not in this folder
    UniverseModel real;
    Application app;
    Uint8 keys[SDLK_LAST];
};

#endif
