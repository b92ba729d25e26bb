#pragma once
#include <QString>
#include <functional>

namespace rek2 {

// "Log.txt" in the installation folder: "dd.MM.yyyy HH:mm:ss: text" CR LF,
// written only while the debug switch is 1. A diagnostic: a line that cannot
// be written never stops the action that logs it; the first failure is
// reported once through the failure callback (status bar, standard error).
// Lines are UTF-8, so names with č, š and ž read the same on every platform.
class DebugLog
{
public:
    DebugLog() = default;
    DebugLog(QString filePath, int debugSwitch) : path_(std::move(filePath)), debug_(debugSwitch) {}

    // A new file gets its own first-failure report.
    void setFile(const QString& filePath)
    {
        path_ = filePath;
        failureReported_ = false;
    }
    void setDebug(int debugSwitch) { debug_ = debugSwitch; }
    int debug() const { return debug_; }
    const QString& filePath() const { return path_; }
    void setFailureReporter(std::function<void(const QString&)> reporter) { reporter_ = std::move(reporter); }

    void DebugMessage(const QString& text);

private:
    QString path_;
    int debug_ = 0;
    bool failureReported_ = false;
    std::function<void(const QString&)> reporter_;
};

} // namespace rek2
