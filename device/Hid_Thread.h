#pragma once

#include "device/DeviceRecord.h"
#include "device/HidBackend.h"

#include <QFuture>
#include <QLoggingCategory>
#include <QStringList>
#include <QThread>
#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>

class HidHost;

Q_DECLARE_LOGGING_CATEGORY(lcTransport)

// The secrecy code the scrambling uses: bytes 1..6 hold the six characters of
// the last handshaken device's sCode; bytes 0 and 7 stay unused.
extern uchar secrecyCodeBuf[8];
// Fixed key of both scrambling directions: "PuDesKal".
extern const uchar usbKeyTable[8];

// The one object every exchange with the device passes through, and its one
// owner. Once the window starts the worker, every command runs on this
// thread, one at a time and in arrival order: a set is queued and the caller
// goes on, a get waits for its answer. Nothing runs inside a command and the
// GUI thread never sleeps for the transport's delays. Without the worker (the
// command-line tool, unit tests) commands run on the caller's thread, still
// one after another.
class Hid_Thread : public QThread
{
    Q_OBJECT
public:
    explicit Hid_Thread(QObject *parent = nullptr);
    ~Hid_Thread() override;

    static constexpr int kReportSize = 9;
    static constexpr int kPayloadSize = 128;
    static constexpr int kIdlePolls = 255;
    static constexpr int kIdlePollMs = 8;
    static constexpr int kSettleMs = 128;
    static constexpr int kOutputReportMs = 120;
    static constexpr int kNoSettleMs = 8;
    // A read-back that has not arrived after this long never will; the UI
    // thread must not hang on a device that stopped answering.
    static constexpr int kDefaultReadBackTimeoutMs = 1000;
    // Report lengths outside this range cannot be framed sensibly.
    static constexpr int kMaxReportLength = 4096;

    HidHost *owner = nullptr;
    DeviceList devices;
    int curDevice = 1;
    std::unique_ptr<HidDevice> cmdHandle;
    std::unique_ptr<HidDevice> eventHandle;
    bool idle = true;
    std::atomic<bool> readerRunning{false};
    bool ackFlag = true;
    QFuture<void> readerFuture;
    std::array<uchar, kReportSize> cmdReport{};
    std::array<uchar, kReportSize> replyReport{};
    std::array<uchar, kPayloadSize> payload{};

    // --- back end and delays -------------------------------------------------
    // Chosen from the environment at construction: SKELD_VIRTUAL_MOUSE=553|560
    // gives the virtual mouse, SKELD_HID_TRACE=1 adds the trace, else hidapi.
    void setBackend(std::shared_ptr<HidBackend> backend);
    HidBackend *backend() const { return m_backend.get(); }
    std::shared_ptr<HidBackend> backendPtr() const { return m_backend; }
    // Every fixed delay of the transport goes through this one function.
    using DelayFunction = std::function<void(int ms)>;
    void setDelayFunction(DelayFunction delay);
    void delay(int ms);
    int readBackTimeoutMs = kDefaultReadBackTimeoutMs;

    // --- the command queue --------------------------------------------------------
    void startWorker();
    // The command on the wire completes; what is still queued is dropped.
    void stopWorker();
    // Whether transport code may run right here: on the worker, or anywhere
    // while no worker runs.
    bool onWorker() const;
    // Runs `job` on the worker after everything queued before it.
    void post(std::function<void()> job);
    // The same, and waits until it has run (or was dropped at exit).
    void call(const std::function<void()> &job);
    // Waits until everything queued so far has run.
    void drain() { call([] {}); }
    int queuedJobs() const;

    // --- transport (not slots) -----------------------------------------------
    bool waitIdle();
    HidDevice *openCmdDevice(int index);
    HidDevice *openEventDevice(int index);
    void closeCmdDevice();
    void closeEventDevice();
    bool sendReport(int length, bool settle);
    bool exchangeReport(int length);
    void waitAck();

    // Read-back of one profile record; the slot of the same command wraps it.
    bool readProfileRecord(uchar *src128, uchar profileNo);

    // --- event reader ---------------------------------------------------------
    void startEventReader(unsigned int index);
    // From any thread; the reader leaves its read at once.
    void stopEventReader();
    void eventReaderLoop(unsigned int index);
    // Blocks until a running event reader has returned.
    void waitForReader();
    // Runs `f` on the thread this object lives on (the GUI thread), later.
    void postToGui(std::function<void()> f);

    // Nodes the last device check could not open for lack of permission; the
    // hint about them is shown once until they go away.
    QStringList hintedDeniedPaths;

    DeviceRecord *record(int index) const;
    DeviceRecord *currentRecord() const { return record(curDevice); }

public slots:
    uchar hidCS(uchar *src);
    bool chkDeviceIsEnCode(int index);
    void USBDataEncryption(uchar *FIFOBuf, uchar *SecrecyCode);
    void USBDataDecipher(uchar *FIFOBuf, uchar *SecrecyCode);
    void hid553_00H_GetSecrecyCode(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4);
    void hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4);
    void hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2);
    void hid560_82H_GetCurrentProfile(uchar &profile);
    void hid560_84H_GetCurrentDPI(uchar &profile, uchar &stage);
    void hid553_8BH_GetCurrentDPI(uchar &stage);
    void hid553_8BH_GetRight(uchar &right);
    void hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2);
    void hid553_01H_SetReportRate(uchar rate);
    void hid560_03H_SetReportRate(uchar rate);
    void hid560_04H_SetCurrentDPI(uchar stage);
    void hid553_0BH_SetCurrentDPI(uchar stage);
    void hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne);
    void hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne);
    void hid560_0CH_setProfile(uchar *src128, uchar profileData);
    void hid560_8CH_readProfile(uchar *src128, uchar profileNo);
    void hid560_02H_SetCurrentProfile(uchar profile);
    void hid553_13H_SetMacroKey(uchar macroId, uchar *src128);
    void hid560_0FH_SetMacroKey(uchar macroId, uchar *src128);
    void hid553_11H_SetDPISet(uchar dpiStage, uchar *src8);
    void hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix);
    void hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2);
    void hid553_0CH_SetFixLEDColor(uchar *src3);
    void hid553_10H_SetLED8StageColor(uchar type, uchar *src24);

protected:
    void run() override;

private:
    struct Job {
        std::function<void()> run;
        std::shared_ptr<std::promise<void>> done;
    };
    void enqueue(Job job);

    // Frames cmdReport: code, six parameters, checksum.
    void frame(uchar code, std::array<uchar, 6> params);
    // The four shapes every set command takes (see the command tables).
    void setCommand(const char *failText, uchar code, std::array<uchar, 6> params);
    void setNoSettle(const char *failText, uchar code, std::array<uchar, 6> params);
    // Both of the above: a settled set waits 128 ms, an unsettled one 8 ms.
    void queueSet(const char *failText, uchar code, std::array<uchar, 6> params, bool settle);
    void setWithPayload(const char *failText, uchar code, std::array<uchar, 6> params,
                        const uchar *data, int length);
    // Presets replyReport from `out`, exchanges, copies the results back.
    void getCommand(const char *failText, uchar code, std::array<uchar, 6> params,
                    std::initializer_list<uchar *> out);
    void transferFailed(const QString &path, bool eventSide, int index);
    // The common start of sendReport and exchangeReport: checks the record,
    // opens the command interface and scrambles the report. Null, with the
    // bus released, when the exchange cannot start.
    std::shared_ptr<DeviceRecord> startExchange(int length, const char *what);
    int profileByte() const;
    void readerTurns(unsigned int index);
    void reportRemoval(DeviceRecord &rec);

    std::shared_ptr<HidBackend> m_backend;
    DelayFunction m_delay;
    // Set before a loop starts, cleared (release) as the loop's very last
    // act; waitForReader reads it (acquire) after the future, so whatever the
    // loop wrote is ordered before what the GUI thread does next.
    std::atomic<bool> m_readerActive{false};
    // Guards the eventHandle pointer (not its transfers): the reader opens
    // and closes it, a stop from elsewhere interrupts its read.
    std::mutex m_eventHandleMutex;

    mutable std::mutex m_queueMutex;
    std::condition_variable m_queueWake;
    std::deque<Job> m_queue;
    bool m_stopping = false;
    bool m_finished = false;
};
