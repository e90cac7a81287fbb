#include "device/Hid_Thread.h"

Hid_Thread::Hid_Thread(QObject *parent) : QThread(parent) {}

Hid_Thread::~Hid_Thread()
{
    stopEventReader();
    waitForReader();
}

void Hid_Thread::stopEventReader()
{
    if (readerRunning)
        readerRunning = false;
}

void Hid_Thread::waitForReader() {}
