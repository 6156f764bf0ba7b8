// Holds the bridge's one-bridge mutex as a bridge of another elevation does
// for the user's own: with a security descriptor that lets nobody else open
// it. Prints "held", then holds it until standard input ends.
#include <windows.h>

#include <cstdio>

int main()
{
    SECURITY_DESCRIPTOR descriptor;
    ACL nobody; // an empty access list grants nothing to anyone
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl(&nobody, sizeof(nobody), ACL_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, &nobody, FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};
    HANDLE mutex = CreateMutexW(&attributes, TRUE, L"Local\\Kinemora.kinemora_mfs_2020");
    if (mutex == nullptr) {
        std::printf("cannot make the mutex: error %lu\n", GetLastError());
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
