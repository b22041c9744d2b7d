#include "support/TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>


ScratchDir::ScratchDir() {
    char templ[] = "/tmp/orrery-test.XXXXXX";
    const char* made = mkdtemp(templ);
    path = made ? made : "/tmp";
}

ScratchDir::~ScratchDir() {
    if (path.rfind("/tmp/orrery-test.", 0) == 0) {
        std::string cmd = "rm -rf '" + path + "'";
        if (std::system(cmd.c_str()) != 0) {
        }
    }
}

WorkingDir::WorkingDir(const std::string& dir) {
    char buf[4096];
    if (getcwd(buf, sizeof buf)) previous = buf;
    if (chdir(dir.c_str()) != 0) {
    }
}

WorkingDir::~WorkingDir() {
    if (!previous.empty() && chdir(previous.c_str()) != 0) {
    }
}

ScopedEnv::ScopedEnv(const char* n, const char* value) : name(n), hadValue(false) {
    if (const char* old = std::getenv(n)) {
        previous = old;
        hadValue = true;
    }
    if (value) {
        setenv(n, value, 1);
    } else {
        unsetenv(n);
    }
}

ScopedEnv::~ScopedEnv() {
    if (hadValue) {
        setenv(name.c_str(), previous.c_str(), 1);
    } else {
        unsetenv(name.c_str());
    }
}

std::string ReadWholeFile(const std::string& path) {
    std::string out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    std::fclose(f);
    return out;
}

bool WriteWholeFile(const std::string& path, const std::string& content) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(content.data(), 1, content.size(), f) == content.size();
    return std::fclose(f) == 0 && ok;
}

std::string RunCommand(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buf[256];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}
