// The platform-free part of the standard streams.
#include "file/Console.h"

bool StandardStreamIdentity(int stream, FileIdentity& identity)
{
    try {
        CFile file;
        AttachStandardStream(stream, file, "standard stream");
        identity = file.GetIdentity();
        return true;
    } catch (const CFileException&) {
        return false;   // closed, or a pipe or console the system gives no number
    }
}
