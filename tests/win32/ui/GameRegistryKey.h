#pragma once
// The game's install key in the prefix's real registry, set up as a test or a
// benchmark needs it and put back as it was afterwards. A failure to create the
// key or set the value throws std::runtime_error; it needs no test framework.
#include <windows.h>

#include <string>
#include <vector>

class GameRegistryKey {
public:
    // Remembers the "DataDrive" value there is now.
    GameRegistryKey();
    // Removes what the test made and writes the remembered value back.
    ~GameRegistryKey();
    GameRegistryKey(const GameRegistryKey&) = delete;
    GameRegistryKey& operator=(const GameRegistryKey&) = delete;

    void SetDataDrive(const std::string& text);
    void SetDataDriveRaw(DWORD dwType, const void* pData, DWORD cbData);
    void DeleteDataDrive();
    // Removes the last key of the path ("1.00"), or the vendor's key and all below.
    void DeleteVersionKey();
    void DeleteVendorKey();

private:
    bool m_bHadValue = false;
    DWORD m_dwType = 0;
    std::vector<BYTE> m_data;
};
