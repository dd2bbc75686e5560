#include "GameRegistryKey.h"

#include <cstdio>
#include <stdexcept>

namespace {

const char kVendorKey[] = "software\\Brakkenfold, Inc";
const char kVersionKey[] = "software\\Brakkenfold, Inc\\KORVALON\\1.00";

void Check(LONG lResult, const char* pszWhat)
{
    if (lResult != ERROR_SUCCESS)
        throw std::runtime_error(std::string("the game's registry key: ") + pszWhat + " failed with error "
                                 + std::to_string(lResult));
}

HKEY CreateVersionKey()
{
    HKEY hKey = NULL;
    Check(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kVersionKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL),
          "creating it");
    return hKey;
}

}  // namespace

GameRegistryKey::GameRegistryKey()
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVersionKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return;
    DWORD cbData = 0;
    if (RegQueryValueExA(hKey, "DataDrive", NULL, &m_dwType, NULL, &cbData) == ERROR_SUCCESS) {
        m_data.resize(cbData);
        m_bHadValue = RegQueryValueExA(hKey, "DataDrive", NULL, &m_dwType, m_data.data(), &cbData) == ERROR_SUCCESS;
    }
    RegCloseKey(hKey);
}

GameRegistryKey::~GameRegistryKey()
{
    DeleteVendorKey();
    if (!m_bHadValue)
        return;
    try {
        SetDataDriveRaw(m_dwType, m_data.data(), static_cast<DWORD>(m_data.size()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "cannot put DataDrive back: %s\n", e.what());
    }
}

void GameRegistryKey::SetDataDrive(const std::string& text)
{
    SetDataDriveRaw(REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void GameRegistryKey::SetDataDriveRaw(DWORD dwType, const void* pData, DWORD cbData)
{
    HKEY hKey = CreateVersionKey();
    const LONG lResult = RegSetValueExA(hKey, "DataDrive", 0, dwType, static_cast<const BYTE*>(pData), cbData);
    RegCloseKey(hKey);
    Check(lResult, "setting DataDrive");
}

void GameRegistryKey::DeleteDataDrive()
{
    HKEY hKey = CreateVersionKey();
    RegDeleteValueA(hKey, "DataDrive");
    RegCloseKey(hKey);
}

void GameRegistryKey::DeleteVersionKey()
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kVersionKey);
}

void GameRegistryKey::DeleteVendorKey()
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kVendorKey);
}
