// Shared helpers for the tests: a view of recorded message boxes and scratch
// folders.
#ifndef ORRERY_TESTS_TESTSUPPORT_H
#define ORRERY_TESTS_TESTSUPPORT_H

#include <string>
#include <vector>

struct RecordedMessage {
    std::string title;
    std::string text;
    int icon;
};

// The boxes the null platform recorded since this object was made (or
// cleared). Only for test programs linked with the null message box.
class MessageRecorder {
public:
    MessageRecorder();
    const std::vector<RecordedMessage>& Messages() const;
    void Clear();
private:
    mutable std::vector<RecordedMessage> seen;
};

// A fresh empty folder under /tmp, removed with everything in it on destruction.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "/" + name; }
private:
    std::string path;
};

// Changes the working directory for the lifetime of the object.
class WorkingDir {
public:
    explicit WorkingDir(const std::string& dir);
    ~WorkingDir();
private:
    std::string previous;
};

// Sets (or with a null value, removes) an environment variable for the
// lifetime of the object; child processes see it too.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
private:
    std::string name, previous;
    bool hadValue;
};

std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& content);
// What a shell command writes on standard output.
std::string RunCommand(const std::string& command);

#endif
