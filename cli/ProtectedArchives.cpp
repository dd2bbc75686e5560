#include "cli/ProtectedArchives.h"

#include "file/FileIdentity.h"
#include "file/PathNames.h"

OutputRules ProtectingArchives(OutputRules rules, const std::vector<FileIdentity>& archives, const std::string& path)
{
    if (archives.empty())
        return rules;
    rules.hasProtected = true;
    rules.protectedFile = archives.front();
    FileIdentity reached;
    if (!IdentityOfPath(path, reached))
        return rules;
    for (const FileIdentity& archive : archives)
        if (archive == reached)
            rules.protectedFile = archive;
    return rules;
}
