// The card object: construction, open and close, capabilities, the card
// driver's error text and version.
#include "daveror.h"

#include <cstdarg>
#include <new>

#include "daveror_lock.h"

namespace {

// What Windows answers for a file name longer than MAX_PATH.
constexpr DWORD kPathTooLong = 206;

constexpr DWORD kDriverErrorTextSize = 256;

}  // namespace

CDaveror::CDaveror(const char* path, Variant variant)
    : m_Path{},
      m_PathFits(false),
      m_DeviceSet(INVALID_HANDLE_VALUE),
      m_DeviceNode{},
      m_Ok(1),
      m_ErrorText{},
      m_DriverErrorText(nullptr),
      m_Caps{},
      m_CardName{},
      m_BoxType{},
      m_DriverFlags(0),
      m_Handle(INVALID_HANDLE_VALUE),
      m_OpenCount(0),
      m_MixerCookie(0),
      m_TransportCookie(0),
      m_EventName{},
      m_TransportEvent(nullptr),
      m_Mutex(nullptr),
      m_Meters{},
      m_NotifySize(0),
      m_Notify(nullptr),
      m_Next(nullptr),
      m_Variant(variant),
      m_WaveConfig{}
{
    // cbSize 0 = no device node, until the enumeration below finds one.
    m_DeviceNode.cbSize = 0;
    CopyPath(path);
    m_Mutex = CreateMutexA(NULL, FALSE, NULL);
    if (!m_Mutex) {
        if (m_Variant == Variant::WaveCard)
            SetError("Could not create mutex err 0x%x", GetLastError());
        else
            SetError("Could not create mutex");
    }
}

CDaveror::CDaveror(const char* path, HDEVINFO deviceSet, DWORD memberIndex) : CDaveror(path, Variant::Card)
{
    if (!m_Mutex) return;  // nothing can be opened without the lock
    Open();
    if (m_Handle != INVALID_HANDLE_VALUE) {
        DWORD flags = 0;
        GetWordValue(CMD_GET_FLAGS, &flags);
        m_DriverFlags = static_cast<WORD>(flags);
    }
    Close();
    m_DeviceSet = deviceSet;
    if (m_Ok == 1) {
        m_DeviceNode.cbSize = sizeof(SP_DEVINFO_DATA);
        if (!SetupDiEnumDeviceInfo(deviceSet, memberIndex, &m_DeviceNode)) m_DeviceNode.cbSize = 0;
    }
}

CDaveror* CDaveror::Create(const char* path) { return new (std::nothrow) CDaveror(path, Variant::WaveCard); }

CDaveror::~CDaveror()
{
    Close();
    if (m_TransportEvent) CloseHandle(m_TransportEvent);
    if (m_Mutex) CloseHandle(m_Mutex);
    delete[] m_DriverErrorText;
    delete m_Notify;
}

void CDaveror::CopyPath(const char* path)
{
    if (!path) path = "";
    // A path that does not fit is not cut short: it would name another file.
    m_PathFits = lstrlenA(path) < static_cast<int>(sizeof m_Path);
    if (m_PathFits) lstrcpyA(m_Path, path);
}

void CDaveror::SetError(const char* format, ...)
{
    char text[1025];  // wvsprintfA writes at most 1024 characters
    va_list args;
    va_start(args, format);
    wvsprintfA(text, format, args);
    va_end(args);
    lstrcpynA(m_ErrorText, text, sizeof m_ErrorText);
    m_Ok = 0;
}

BOOL CDaveror::Ioctl(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize)
{
    DWORD returned = 0;
    return DeviceIoControl(m_Handle, code, in, inSize, out, outSize, &returned, NULL);
}

void CDaveror::ReadCardName()
{
    // The name is ours whole, terminated; the record's copy is cut at its last
    // byte so that no reader of the record runs past the field either.
    CopyMemory(m_CardName, m_Caps.CardName, sizeof m_Caps.CardName);
    m_CardName[sizeof m_Caps.CardName] = '\0';
    m_Caps.CardName[sizeof m_Caps.CardName - 1] = '\0';
}

int CDaveror::Open()
{
    CDaverorLock lock(m_Mutex);
    if (m_OpenCount != 0) return m_Ok;

    m_Handle = m_PathFits ? CreateFileA(m_Path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        NULL, OPEN_EXISTING, 0, NULL)
                          : INVALID_HANDLE_VALUE;
    if (m_Handle == INVALID_HANDLE_VALUE) {
        DWORD error = m_PathFits ? GetLastError() : kPathTooLong;
        if (m_Variant == Variant::WaveCard)
            SetError("Could not create file handle Err 0x%x", error);
        else
            SetError("Could not create file handle");
        return m_Ok;
    }
    m_OpenCount = 1;
    // The wave driver's card reads its capabilities on its own (ReadCapabilities).
    if (m_Variant == Variant::WaveCard) return m_Ok;

    ZeroMemory(&m_Caps, sizeof m_Caps);
    FillMemory(&m_BoxType, sizeof m_BoxType, 0xFF);
    BOOL capsRead = Ioctl(IOCTL_GET_CAPS, NULL, 0, &m_Caps, sizeof m_Caps);
    ReadCardName();
    if (!capsRead) {
        SetError("Could not get capabilities");
        return m_Ok;
    }
    if (m_Caps.Family == FAMILY_KALTOR_BOX && !Ioctl(IOCTL_GET_CAPS, NULL, 0, &m_BoxType, sizeof m_BoxType))
        SetError("Could not get Kaltor box type");
    return m_Ok;
}

void CDaveror::Close()
{
    CDaverorLock lock(m_Mutex);
    if (m_OpenCount == 0) return;
    if (--m_OpenCount != 0) return;
    // With the ok flag clear these two send nothing; they still let go of the
    // cookies and the transport event.
    CloseMixer();
    CloseTransport();
    // The handle closes whatever the ok flag says: the card driver ends the
    // file's sessions and reservations with it.
    if (m_Handle != INVALID_HANDLE_VALUE) {
        CloseHandle(m_Handle);
        m_Handle = INVALID_HANDLE_VALUE;
    }
}

int CDaveror::ReadCapabilities()
{
    Open();
    if (m_Handle == INVALID_HANDLE_VALUE) return m_Ok;
    BOOL result = Ioctl(IOCTL_GET_CAPS, NULL, 0, &m_Caps, sizeof m_Caps);
    if (!result) {
        SetError("Could not get capabilities, err 0x%x", result);
        ZeroMemory(&m_Caps, sizeof m_Caps);
    }
    ReadCardName();
    Close();
    return m_Ok;
}

const char* CDaveror::GetDriverErrorText()
{
    if (!m_DriverErrorText) {
        m_DriverErrorText = new (std::nothrow) char[kDriverErrorTextSize];
        if (!m_DriverErrorText) return nullptr;
    }
    Open();
    if (!Ioctl(IOCTL_GET_ERROR_TEXT, NULL, 0, m_DriverErrorText, kDriverErrorTextSize)) m_DriverErrorText[0] = '\0';
    // The card driver's text need not end within its buffer.
    m_DriverErrorText[kDriverErrorTextSize - 1] = '\0';
    Close();
    return m_DriverErrorText;
}

DWORD CDaveror::GetDriverVersion()
{
    DWORD version = 0;
    Ioctl(IOCTL_GET_DRIVER_VERSION, NULL, 0, &version, sizeof version);
    return version;
}
