// HostSession: the headless host with the module loaded through the host's own loader, as a
// drawing host runs a client; documents made, opened and saved in it. One session per program
// run, on the main thread. CommandScope bounds one host command (one undo group).
#pragma once

#include <filesystem>
#include <string>

class AcApDocument;

// The destructor closes every document (dropping the module's per-drawing state) and then
// unloads the module. A session whose module did not load is not ready(): error() says why.
class HostSession {
public:
    // Loads the module; see ready().
    HostSession();
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Whether the module loaded; nothing of the module may be used otherwise.
    bool ready() const { return m_ready; }
    // The reason of the last failure, one line without the program name.
    const std::string& error() const { return m_error; }

    // A new drawing as the current document; never null.
    AcApDocument* newDrawing();
    // The drawing file as the current document; null (error() set) when the session is not
    // ready or the file cannot be read.
    AcApDocument* openDrawing(const std::filesystem::path& path);
    // Saves doc to path (through a temporary file the host renames); false with error() set.
    bool saveDrawing(AcApDocument* doc, const std::filesystem::path& path);

private:
    std::wstring m_module;
    bool m_ready = false;
    std::string m_error;
};

// Begins a host command on the working database and ends it when destroyed.
class CommandScope {
public:
    explicit CommandScope(const wchar_t* name);
    ~CommandScope();
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;
};
