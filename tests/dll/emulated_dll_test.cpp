// The emulated host itself: it catches each kind of fault a broken DLL can
// commit, it runs the real DLL wherever it is loaded, and with any of its
// heap blocks refused the DLL answers exactly as the library in-process.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "../../extender/exports.h"
#include "../../host/host_args.h"
#include "../../platform/platform_test.h"
#include "../support/case_table.h"
#include "../support/guarded_buffer.h"
#include "emulated_dll.h"

namespace {

std::string dllPath(const char* name) { return std::string(OVRIN_DLL_DIR) + "/" + name; }

int32_t lastFlag;
std::string lastResult;
int32_t OV_STDCALL keepResult(int32_t flag, uintptr_t, uintptr_t, HostValue* value) {
    lastFlag = flag;
    lastResult = value->type == TYPE_STRING ? std::string("\"") + (value->stringValue ? value->stringValue : "") + "\""
                                            : std::to_string(value->intValue);
    return 0;
}

// One script call with guarded argument strings: the flag, the result and
// every argument as it reads afterwards.
std::string callOnce(Extender2Entry entry, const Case& c) {
    std::vector<HostValue> args(c.args.size());
    std::vector<std::unique_ptr<GuardedBuffer>> strings(c.args.size());
    for (size_t i = 0; i < c.args.size(); ++i) {
        args[i] = integerArg(c.args[i].intValue);
        args[i].type = c.args[i].type;
        if (c.args[i].isString && !c.args[i].isNull) {
            strings[i].reset(new GuardedBuffer(c.args[i].text));
            args[i].stringValue = strings[i]->data();
        }
    }
    HostValue result{};
    lastResult = "(no callback)";
    entry(0, 0, 0, c.functionNumber, keepResult, 0, 0, args.data(), static_cast<int32_t>(args.size()), &result);
    std::string out = std::to_string(lastFlag) + " " + lastResult;
    for (size_t i = 0; i < args.size(); ++i)
        out += strings[i] ? " \"" + std::string(strings[i]->intact() ? strings[i]->data() : "(overrun)") + "\""
                          : " " + std::to_string(args[i].intValue);
    return out;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    return all;
}

struct Broken {
    const char* file;
    const char* fault;  // what the host must say
};

TEST(EmulatedDll, CatchesEachKindOfBrokenDll) {
    const Broken broken[] = {
        {"ovrin_broken_past_nul.dll", "argument 0 was written past its NUL"},
        {"ovrin_broken_stack.dll", "a wrong stack size on return"},
        {"ovrin_broken_heap.dll", "was written past its end"},
    };
    for (const Broken& b : broken) {
        EmulatedDll dll;
        std::string error;
        ASSERT_TRUE(dll.load(dllPath(b.file), EmulatorOptions(), error)) << b.file << ": " << error;
        char name[] = "Robert";
        HostValue args[] = {stringArg(name), integerArg(1)};
        HostValue result{};
        dll.extender2(0, 0, 0, 62, keepResult, 0, 0, args, 2, &result);  // ovIsConsonant leaves its argument
        std::string faults = joined(dll.takeFaults());
        EXPECT_NE(faults.find(b.fault), std::string::npos) << b.file << " gave: " << faults;
    }
}

TEST(EmulatedDll, NamesAnImportItCannotBind) {
    EmulatedDll dll;
    std::string error;
    EXPECT_FALSE(dll.load(dllPath("ovrin_broken_import.dll"), EmulatorOptions(), error));
    EXPECT_NE(error.find("KERNEL32.dll!Beep"), std::string::npos) << error;
}

TEST(EmulatedDll, ImportsOnlySystemServicesAndRunsAtAnyBase) {
    std::string answers[2];
    const uint32_t bases[] = {0, 0x21230000};
    for (int i = 0; i < 2; ++i) {
        EmulatedDll dll;
        std::string error;
        EmulatorOptions options;
        options.loadBase = bases[i];
        ASSERT_TRUE(dll.load(dllPath("ovrin.dll"), options, error)) << error;
        EXPECT_NE(dll.base(), dll.preferredBase());
        for (const std::string& name : dll.importNames()) {
            std::string module = name.substr(0, name.find('!'));
            EXPECT_TRUE(module == "KERNEL32.dll" || module == "USER32.dll" || module == "msvcrt.dll") << name;
        }
        char name[] = "Schmidt";
        HostValue args[] = {stringArg(name), integerArg(8)};
        HostValue result{};
        dll.extender2(0, 0, 0, 56, keepResult, 0, 0, args, 2, &result);
        answers[i] = lastResult;
        EXPECT_TRUE(dll.takeFaults().empty());
    }
    EXPECT_EQ(answers[0], "\"XMT\tSMT\"");
    EXPECT_EQ(answers[0], answers[1]);
}

// Every allocation of every call of the table refused in turn: the DLL and the
// library in-process give the same flag, result and arguments afterwards,
// and the DLL gives every block back.
TEST(EmulatedDll, RefusedBlocksAnswerAsInProcess) {
    EmulatedDll dll;
    std::string error;
    ASSERT_TRUE(dll.load(dllPath("ovrin.dll"), EmulatorOptions(), error)) << error;
    EmulatedDll::current = &dll;
    std::vector<std::string> files = listCaseFiles(OVRIN_CASES_DIR);
    ASSERT_FALSE(files.empty());
    for (const std::string& file : files) {
        std::vector<std::string> errors;
        std::vector<Case> cases = readCaseFile(file, WILExtender2, errors);
        ASSERT_TRUE(errors.empty()) << errors.front();
        for (const Case& c : cases) {
            for (long nth = 1;; ++nth) {
                long before = platform_test::allocationCalls();
                platform_test::failAllocation(nth);
                std::string native = callOnce(WILExtender2, c);
                platform_test::failAllocation(0);
                dll.failAllocation(nth);
                std::string emulated = callOnce(emulatedExtender2, c);
                dll.failAllocation(0);
                EXPECT_EQ(emulated, native) << c.where << " with allocation " << nth << " refused: " << c.source;
                EXPECT_EQ(dll.liveBlocks(), 0) << c.where;
                std::vector<std::string> faults = dll.takeFaults();
                EXPECT_TRUE(faults.empty()) << c.where << ": " << joined(faults);
                if (platform_test::allocationCalls() - before < nth) break;
            }
        }
    }
}

}  // namespace
