// Tells how this Wine ends a serial wait that a completion port watches, the way Qt Serial Port
// waits for received bytes on Windows (WaitCommEvent with an OVERLAPPED that has no event, the
// port's handle bound to a completion port). Run against the board simulator, which tells its
// time every second: on Windows the wait ends with a packet on the completion port once a byte
// arrives, even when WaitCommEvent returns at once. Prints "completion: delivered" or "completion: missing", and what stays unread.
//   wine comm-wait-probe.exe COM3
#include <windows.h>

#include <stdio.h>

int main(int argc, char **argv)
{
    char name[64];
    snprintf(name, sizeof name, "\\\\.\\%s", argc > 1 ? argv[1] : "COM3");
    HANDLE port = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, NULL);
    if (port == INVALID_HANDLE_VALUE) {
        printf("cannot open %s: error %lu\n", name, GetLastError());
        return 1;
    }
    HANDLE completions = CreateIoCompletionPort(INVALID_HANDLE_VALUE, NULL, 0, 0);
    CreateIoCompletionPort(port, completions, 1, 0);
    SetCommMask(port, EV_RXCHAR);
    PurgeComm(port, PURGE_RXCLEAR); // only what arrives from now on
    OVERLAPPED wait = {0};
    DWORD events = 0;
    const BOOL done = WaitCommEvent(port, &events, &wait);
    const DWORD error = done ? 0 : GetLastError();
    DWORD bytes = 0;
    ULONG_PTR key = 0;
    OVERLAPPED *finished = NULL;
    const BOOL packet = GetQueuedCompletionStatus(completions, &bytes, &key, &finished, 3000);
    DWORD errors = 0;
    COMSTAT status = {0};
    ClearCommError(port, &errors, &status);
    const char *how = done ? "completed within the call"
                           : (error == ERROR_IO_PENDING ? "pending" : "failed");
    printf("WaitCommEvent: %s, events 0x%lx\n", how, events);
    printf("completion: %s\n", packet && finished == &wait ? "delivered" : "missing");
    printf("bytes received and unread: %lu\n", status.cbInQue);
    PurgeComm(port, PURGE_RXCLEAR | PURGE_TXCLEAR);
    CloseHandle(port);
    return 0;
}
