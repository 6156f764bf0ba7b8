// Holds what another program must find held, until standard input ends, and
// prints "held" once it does:
//
//   lock_holder        the bridge's one-bridge mutex, as a bridge of another
//                      elevation holds it for the user's own: with a security
//                      descriptor that lets nobody else open it
//   lock_holder FILE   FILE, open for reading and writing by others but not
//                      for renaming or deleting, as a log viewer may hold a log
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

namespace {

HANDLE HoldMutex()
{
    SECURITY_DESCRIPTOR descriptor;
    ACL nobody; // an empty access list grants nothing to anyone
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl(&nobody, sizeof(nobody), ACL_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, &nobody, FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};
    return CreateMutexW(&attributes, TRUE, L"Local\\Kinemora.kinemora_mfs_2020");
}

} // namespace

int main()
{
    // The file's name from the wide command line: it may hold any character.
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    HANDLE held = count > 1 ? CreateFileW(arguments[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr)
                            : HoldMutex();
    if (held == nullptr || held == INVALID_HANDLE_VALUE) {
        std::printf("cannot hold it: error %lu\n", GetLastError());
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
