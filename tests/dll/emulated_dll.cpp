#include "emulated_dll.h"

#include <cstring>

#include "emulated_machine.h"

EmulatedDll* EmulatedDll::current = nullptr;

namespace {

// The 20-byte argument and result record as the 32-bit DLL reads it.
struct WireValue {
    double floatValue;
    int32_t intValue;
    int32_t type;
    uint32_t stringValue;
} __attribute__((packed));
static_assert(sizeof(WireValue) == 20, "the wire record is 20 bytes");

const uint32_t kRowRecordBytes = 56;  // FunctionInfo with its whole name field
const uint8_t kRowFill = 0xCC;

int16_t low16(int32_t value) { return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF)); }

// One WILExtender2 call in flight: where the host's things live on both sides.
struct Call {
    HostReturnCallback callback = nullptr;
    uintptr_t hostContext = 0, hostRecord = 0;
    uint32_t wireContext = 0, wireRecord = 0;
    HostValue* result = nullptr;
    uint32_t resultAddress = 0;
    char* resultOriginal = nullptr;  // the host's stringValue before the call
    uint32_t resultSentinel = 0;     // stands for it in the machine
    std::string resultText;          // the string result, copied out
    uint32_t resultTextAddress = 0;
    int callbacks = 0;
};
Call* inFlight = nullptr;

// The host's record as the DLL left it; its string copied to the host side.
void readResult(Machine& m, Call& c) {
    WireValue wire;
    std::memcpy(&wire, m.at(c.resultAddress, sizeof wire), sizeof wire);
    c.result->floatValue = wire.floatValue;
    c.result->intValue = wire.intValue;
    c.result->type = wire.type;
    if (wire.stringValue == c.resultSentinel) {
        c.result->stringValue = c.resultOriginal;
    } else if (!wire.stringValue) {
        c.result->stringValue = nullptr;
    } else {
        if (wire.stringValue != c.resultTextAddress) {
            c.resultTextAddress = wire.stringValue;
            if (!m.readString(wire.stringValue, c.resultText)) {
                m.fault("the result string at " + std::to_string(wire.stringValue) + " does not end in mapped memory");
                c.resultText.clear();
            }
        }
        c.result->stringValue = &c.resultText[0];
    }
}

void hostCallback(Machine& m) {
    Call& c = *inFlight;
    ++c.callbacks;
    int32_t flag = static_cast<int32_t>(m.arg(0));
    uint32_t context = m.arg(1), record = m.arg(2), value = m.arg(3);
    HostValue scratch{};
    HostValue* passed = nullptr;
    if (value == c.resultAddress && c.result) {
        readResult(m, c);
        passed = c.result;
    } else if (value) {
        // Not the host's record: the host sees what is there, but it is wrong.
        m.fault("the callback was given a result record other than the host's");
        const uint8_t* p = m.at(value, sizeof(WireValue));
        if (p) {
            WireValue wire;
            std::memcpy(&wire, p, sizeof wire);
            scratch.intValue = wire.intValue;
            scratch.type = wire.type;
        }
        passed = &scratch;
    }
    uintptr_t hostContext = context == c.wireContext ? c.hostContext : context;
    uintptr_t hostRecord = record == c.wireRecord ? c.hostRecord : record;
    int32_t answer = c.callback ? c.callback(flag, hostContext, hostRecord, passed) : 0;
    m.setReg(UC_X86_REG_EAX, static_cast<uint32_t>(answer));
}

}  // namespace

EmulatedDll::EmulatedDll() : machine_(new Machine) {}
EmulatedDll::~EmulatedDll() {
    if (current == this) current = nullptr;
}

bool EmulatedDll::load(const std::string& path, const EmulatorOptions& options, std::string& error) {
    if (!machine_->start(path, options.sse2, options.loadBase, error)) return false;
    machine_->onCallback = hostCallback;
    for (const char* name : {"_WILExtender2@40", "_WILExtenderQuery@12"}) {
        bool found = false;
        for (const auto& e : machine_->image.exports) found = found || e.first == name;
        if (!found) return error = std::string("the DLL does not export ") + name, false;
    }
    machine_->faults.clear();
    return true;
}

namespace {

uint32_t exportAddress(const Machine& m, const char* name) {
    for (const auto& e : m.image.exports)
        if (e.first == name) return m.base + e.second;
    return 0;
}

}  // namespace

int32_t EmulatedDll::extender2(uintptr_t unused1, uintptr_t unused2, uintptr_t hostContext, int32_t functionNumber,
                               HostReturnCallback returnCallback, uintptr_t hostRecord, uintptr_t unused3, void* args,
                               int32_t argCount, HostValue* resultValue) {
    Machine& m = *machine_;
    m.resetHostBuffers();
    Call c;
    c.callback = returnCallback;
    c.hostContext = hostContext;
    c.hostRecord = hostRecord;
    c.wireContext = static_cast<uint32_t>(hostContext);
    c.wireRecord = static_cast<uint32_t>(hostRecord);
    c.result = resultValue;

    bool rowQuery = low16(functionNumber) == -2;
    uint32_t argsAddress = 0;
    std::vector<uint32_t> strings;  // guest address of each argument string
    std::vector<uint32_t> lengths;
    HostValue* hostArgs = static_cast<HostValue*>(args);
    int32_t count = rowQuery || !args || argCount < 0 ? 0 : argCount;
    if (rowQuery && args) {
        // The row record: the DLL writes 23 + nameLength bytes of it; only
        // what it wrote is copied back, so the host's record beyond stays as
        // the host left it.
        argsAddress = m.hostBuffer(kRowRecordBytes);
        std::memset(m.at(argsAddress, kRowRecordBytes), kRowFill, kRowRecordBytes);
    } else if (args) {
        argsAddress = m.hostBuffer(static_cast<uint32_t>(count) * sizeof(WireValue));
        strings.assign(count, 0);
        lengths.assign(count, 0);
        for (int32_t i = 0; i < count; ++i) {
            WireValue wire{hostArgs[i].floatValue, hostArgs[i].intValue, hostArgs[i].type, 0};
            if (hostArgs[i].stringValue) {
                lengths[i] = static_cast<uint32_t>(std::strlen(hostArgs[i].stringValue)) + 1;
                strings[i] = m.hostBuffer(lengths[i]);
                std::memcpy(m.at(strings[i], lengths[i]), hostArgs[i].stringValue, lengths[i]);
                wire.stringValue = strings[i];
            }
            std::memcpy(m.at(argsAddress + i * sizeof(WireValue), sizeof wire), &wire, sizeof wire);
        }
    }
    if (resultValue) {
        c.resultAddress = m.hostBuffer(sizeof(WireValue));
        c.resultOriginal = resultValue->stringValue;
        c.resultSentinel = resultValue->stringValue ? m.hostBuffer(1) : 0;
        WireValue wire{resultValue->floatValue, resultValue->intValue, resultValue->type, c.resultSentinel};
        std::memcpy(m.at(c.resultAddress, sizeof wire), &wire, sizeof wire);
    }

    inFlight = &c;
    uint32_t answer = 0;
    const std::vector<uint32_t> wireArgs = {
        static_cast<uint32_t>(unused1), static_cast<uint32_t>(unused2), c.wireContext, static_cast<uint32_t>(functionNumber),
        returnCallback ? m.callbackSlot : 0, c.wireRecord, static_cast<uint32_t>(unused3), argsAddress,
        static_cast<uint32_t>(argCount), c.resultAddress};
    std::string what = "WILExtender2 (function " + std::to_string(functionNumber) + ")";
    m.call(exportAddress(m, "_WILExtender2@40"), wireArgs, true, &answer, what);
    inFlight = nullptr;

    if (rowQuery && args) {
        const uint8_t* row = m.at(argsAddress, kRowRecordBytes);
        uint32_t written = kRowRecordBytes;
        while (written && row[written - 1] == kRowFill) --written;
        std::memcpy(args, row, written);
        if (!m.guardIntact(argsAddress, kRowRecordBytes, HOST_GUARD)) m.fault(what + ": the row record was written past its end");
    }
    for (int32_t i = 0; i < count; ++i) {
        WireValue wire;
        std::memcpy(&wire, m.at(argsAddress + i * sizeof(WireValue), sizeof wire), sizeof wire);
        hostArgs[i].floatValue = wire.floatValue;
        hostArgs[i].intValue = wire.intValue;
        hostArgs[i].type = wire.type;
        if (!strings[i]) continue;
        if (wire.stringValue != strings[i]) m.fault(what + ": argument " + std::to_string(i) + "'s pointer was changed");
        if (!m.guardIntact(strings[i], lengths[i], HOST_GUARD))
            m.fault(what + ": argument " + std::to_string(i) + " was written past its NUL");
        std::memcpy(hostArgs[i].stringValue, m.at(strings[i], lengths[i]), lengths[i]);
    }
    if (argsAddress && !rowQuery && !m.guardIntact(argsAddress, count * sizeof(WireValue), HOST_GUARD))
        m.fault(what + ": written past the argument records");
    if (resultValue) {
        readResult(m, c);
        if (!m.guardIntact(c.resultAddress, sizeof(WireValue), HOST_GUARD))
            m.fault(what + ": written past the result record");
    }
    return static_cast<int32_t>(answer);
}

int32_t EmulatedDll::query(int32_t queryCode, void* buffer, int32_t length) {
    Machine& m = *machine_;
    m.resetHostBuffers();
    uint32_t bytes = length > 0 ? static_cast<uint32_t>(length) * (low16(queryCode) == 2 ? 4 : 1) : 0;
    uint32_t address = 0;
    if (buffer) {
        address = m.hostBuffer(bytes);
        if (bytes) std::memcpy(m.at(address, bytes), buffer, bytes);
    }
    uint32_t answer = 0;
    std::string what = "WILExtenderQuery (code " + std::to_string(queryCode) + ")";
    m.call(exportAddress(m, "_WILExtenderQuery@12"), {static_cast<uint32_t>(queryCode), address, static_cast<uint32_t>(length)},
           true, &answer, what);
    if (buffer) {
        if (bytes) std::memcpy(buffer, m.at(address, bytes), bytes);
        if (!m.guardIntact(address, bytes, HOST_GUARD)) m.fault(what + ": the buffer was written past its end");
    }
    return static_cast<int32_t>(answer);
}

std::vector<std::string> EmulatedDll::takeFaults() {
    std::vector<std::string> faults;
    faults.swap(machine_->faults);
    return faults;
}

long EmulatedDll::liveBlocks() const { return machine_->heap.live(GuestHeap::GLOBAL); }
uint64_t EmulatedDll::liveBytes() const { return machine_->heap.liveGlobalBytes(); }
void EmulatedDll::failAllocation(long nth) { machine_->failAt = nth ? machine_->allocationCalls + nth : 0; }
long EmulatedDll::allocationCalls() const { return machine_->allocationCalls; }
uint32_t EmulatedDll::preferredBase() const { return machine_->image.imageBase; }
uint32_t EmulatedDll::base() const { return machine_->base; }
std::vector<std::string> EmulatedDll::importNames() const { return machine_->importNames; }
unsigned long long EmulatedDll::callCount() const { return machine_->calls; }

bool EmulatedDll::loadString(uint32_t id, std::string& text) const {
    const Machine& m = *machine_;
    std::u16string units;
    if (!resourceString(m.at(m.base, 1), m.image.sizeOfImage, m.image.resourceRva, id, units)) return false;
    text.clear();
    for (char16_t u : units) text += u < 0x100 ? static_cast<char>(u) : '?';
    return true;
}

bool EmulatedDll::versionRecord(std::vector<uint8_t>& record) const {
    const Machine& m = *machine_;
    uint32_t length = 0;
    const uint8_t* data = findResource(m.at(m.base, 1), m.image.sizeOfImage, m.image.resourceRva, 16, 1, &length);
    if (!data) return false;
    record.assign(data, data + length);
    return true;
}

int32_t emulatedExtender2(uintptr_t unused1, uintptr_t unused2, uintptr_t hostContext, int32_t functionNumber,
                          HostReturnCallback returnCallback, uintptr_t hostRecord, uintptr_t unused3, void* args,
                          int32_t argCount, HostValue* resultValue) {
    return EmulatedDll::current->extender2(unused1, unused2, hostContext, functionNumber, returnCallback, hostRecord,
                                           unused3, args, argCount, resultValue);
}

int32_t emulatedExtenderQuery(int32_t queryCode, void* buffer, int32_t length) {
    return EmulatedDll::current->query(queryCode, buffer, length);
}
