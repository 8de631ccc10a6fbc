#pragma once

#include <windows.h>
#include <string>

// Runs a command line with its standard input, output and error on anonymous
// pipes and reports what it writes through virtual operations, called on the
// runner's own threads: Output and ErrorOutput on one reader thread each,
// Finished on the watcher thread once the child has ended and both readers
// are done. Started is called by Start itself, before any other operation.
//
// Only Stop() closes handles. A derived class calls Stop() in its own
// destructor (the operations must not run on a half-destroyed object).
// Nothing an operation throws leaves the runner's threads: a chunk whose
// operation throws is given up and reading goes on.
class PipedProcess {
public:
    PipedProcess();
    virtual ~PipedProcess();
    PipedProcess(const PipedProcess&) = delete;
    PipedProcess& operator=(const PipedProcess&) = delete;

    // Starts the command line (no application name) in a new, hidden or shown
    // console; `folder` empty: our current folder. On failure Output() gets
    // "Unable to start %s\r\nError Code: %d" and the result is false.
    bool Start(const std::string& commandLine, bool show, const std::string& folder = std::string());
    // The child exists and has not ended.
    bool IsRunning() const;
    // Ends the child (exit code 1) if it still runs, lets the threads finish
    // (Finished() is still called), and closes every handle. Not for the
    // operations themselves.
    void Stop();
    // The child's exit code once it has ended (STILL_ACTIVE while it runs).
    DWORD ExitCode() const;

protected:
    virtual void Started(const std::string& commandLine);
    virtual void Output(const char* text, size_t length);
    virtual void ErrorOutput(const char* text, size_t length);
    virtual void Finished();

private:
    struct Reader {
        PipedProcess* pOwner;
        HANDLE hPipe;
        bool bError;
    };
    static DWORD WINAPI ReaderThread(void* parameter);
    static DWORD WINAPI WatcherThread(void* parameter);
    void ReadUntilBroken(HANDLE pipe, bool error);
    void Watch();
    void CloseHandles();

    HANDLE hStopEvent;
    HANDLE hOutputRead;
    HANDLE hErrorRead;
    HANDLE hOutputThread;
    HANDLE hErrorThread;
    HANDLE hWatcherThread;
    HANDLE hProcess;
    DWORD dwExitCode;
    DWORD dwWatcherId;
    Reader readers[2];
};
