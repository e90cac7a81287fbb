#pragma once

#include <QThread>
#include <atomic>

class HidHost;

// The one object every exchange with the device passes through. It derives
// from QThread only to be a QObject with invokable slots; its own thread is
// never started and commands run on the caller's (GUI) thread.
class Hid_Thread : public QThread
{
    Q_OBJECT
public:
    explicit Hid_Thread(QObject *parent = nullptr);
    ~Hid_Thread() override;

    HidHost *owner = nullptr;
    bool idle = true;
    std::atomic<bool> readerRunning{false};

    void stopEventReader();
    // Blocks until a running event reader has returned.
    void waitForReader();
};
