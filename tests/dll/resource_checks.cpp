#include "resource_checks.h"

#include "../../resources/string_ids.h"
#include "../../resources/version.h"
#include "../support/case_table.h"

CheckCount runResourceChecks(const ResourceReader& reader, FILE* report) {
    CheckCount count;
    auto check = [&](bool ok, const std::string& what) {
        if (ok) {
            ++count.passed;
        } else {
            ++count.failed;
            std::fprintf(report, "FAIL resource check: %s\n", what.c_str());
        }
    };
    const int ids[] = {IDS_UNKNOWN_FUNCTION, IDS_BAD_INFO_MODE, IDS_NO_MEMORY, IDS_TOO_MANY_BLOCKS, IDS_DESCRIPTION,
                       IDS_VERSION};
    for (int id : ids) {
        std::string text;
        bool found = reader.string(static_cast<uint32_t>(id), text);
        check(found && messageText(id) == text, "string " + std::to_string(id) + " reads \"" + text + "\"");
    }
    uint32_t versions[4] = {};
    bool fixed = reader.fixedVersions(versions);
    check(fixed, "the DLL has a version record");
    if (!fixed) return count;
    const uint32_t file[4] = {OV_FILE_VERSION}, product[4] = {OV_PRODUCT_VERSION};
    check(versions[0] == (file[0] << 16 | file[1]) && versions[1] == (file[2] << 16 | file[3]),
          "file version as in version.h");
    check(versions[2] == (product[0] << 16 | product[1]) && versions[3] == (product[2] << 16 | product[3]),
          "product version as in version.h");
    check(reader.versionString("FileVersion") == OV_FILE_VERSION_TEXT, "FileVersion string");
    check(reader.versionString("ProductVersion") == OV_PRODUCT_VERSION_TEXT, "ProductVersion string");
    check(reader.versionString("FileDescription") == OV_PRODUCT_NAME, "FileDescription string");
    check(reader.versionString("ProductName") == OV_PRODUCT_NAME, "ProductName string");
    check(reader.versionString("InternalName") == OV_INTERNAL_NAME, "InternalName string");
    uint16_t language = 0, codePage = 0;
    check(reader.translation(&language, &codePage) && language == 0x0409 && codePage == 0x04E4,
          "translation US English, code page 1252");
    return count;
}
