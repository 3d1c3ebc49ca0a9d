// PCI configuration space through configuration mechanism 1 (ports 0CF8h and 0CFCh) and I/O
// ports with the in and out instructions, which Windows 9x lets an application use. Where they
// are not allowed (the NT family, or Wine), the processor's fault is caught: the instruction is
// passed over, reads give all ones, and the installation check reports no PCI BIOS.
#include "platform/PciConfigMechanism.h"
#include "platform/win32/Win32Platform.h"

#include "platform/win32/WinApi.h"

namespace win32 {

namespace {

volatile LONG portFaulted = 0;
volatile LONG portGuardArmed = 0;

// Passes over a faulting in/out instruction of the forms used below (EC, ED, EE, EF, each
// optionally after the 66h operand-size prefix).
LONG CALLBACK PortFaultHandler(EXCEPTION_POINTERS* info) {
  DWORD code = info->ExceptionRecord->ExceptionCode;
  if (!portGuardArmed ||
      (code != EXCEPTION_PRIV_INSTRUCTION && code != EXCEPTION_ACCESS_VIOLATION &&
       code != EXCEPTION_ILLEGAL_INSTRUCTION)) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  CONTEXT* context = info->ContextRecord;
#if defined(_WIN64)
  DWORD64& ip = context->Rip;
  DWORD64& ax = context->Rax;
#else
  DWORD& ip = context->Eip;
  DWORD& ax = context->Eax;
#endif
  const auto* at = reinterpret_cast<const unsigned char*>(ip);
  std::size_t length = at[0] == 0x66 ? 2 : 1;
  unsigned char opcode = at[length - 1];
  if (opcode < 0xEC || opcode > 0xEF) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  if (opcode == 0xEC || opcode == 0xED) {
    ax |= 0xFFFFFFFF;
  }
  ip += length;
  portFaulted = 1;
  return EXCEPTION_CONTINUE_EXECUTION;
}

using AddHandler = PVOID(WINAPI*)(ULONG, PVECTORED_EXCEPTION_HANDLER);

void InstallGuard() {
  static bool installed = false;
  if (installed) {
    return;
  }
  installed = true;
  // Vectored handlers (Windows XP and Wine) see the fault first; older systems get the
  // process's top-level filter.
  // The address GetProcAddress gives is taken as the function it names through void (*)(),
  // the one function type the compiler lets stand for any other.
  auto add = reinterpret_cast<AddHandler>(reinterpret_cast<void (*)()>(
      ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "AddVectoredExceptionHandler")));
  if (add != nullptr) {
    add(1, PortFaultHandler);
  } else {
    ::SetUnhandledExceptionFilter(PortFaultHandler);
  }
}

struct Armed {
  Armed() {
    InstallGuard();
    portGuardArmed = 1;
  }
  ~Armed() { portGuardArmed = 0; }
};

std::uint32_t In32(std::uint16_t port) {
  Armed armed;
  std::uint32_t value;
  asm volatile("inl %w1, %0" : "=a"(value) : "d"(port));
  return value;
}

std::uint16_t In16(std::uint16_t port) {
  Armed armed;
  std::uint16_t value;
  asm volatile("inw %w1, %w0" : "=a"(value) : "d"(port));
  return value;
}

void Out32(std::uint16_t port, std::uint32_t value) {
  Armed armed;
  asm volatile("outl %0, %w1" : : "a"(value), "d"(port));
}

void Out16(std::uint16_t port, std::uint16_t value) {
  Armed armed;
  asm volatile("outw %w0, %w1" : : "a"(value), "d"(port));
}

// The processor's own port instructions.
struct ProcessorPorts {
  std::uint32_t In32(std::uint16_t port) { return win32::In32(port); }
  void Out32(std::uint16_t port, std::uint32_t value) { win32::Out32(port, value); }
  void Out16(std::uint16_t port, std::uint16_t value) { win32::Out16(port, value); }
};

}  // namespace

bool Win32Hardware::PciInstallationCheck() {
  // Configuration mechanism 1 is there when its address register keeps what is written.
  portFaulted = 0;
  std::uint32_t saved = In32(platform::kPciConfigAddress);
  Out32(platform::kPciConfigAddress, 0x80000000u);
  std::uint32_t readBack = In32(platform::kPciConfigAddress);
  Out32(platform::kPciConfigAddress, saved);
  return !portFaulted && readBack == 0x80000000u;
}

std::uint8_t Win32Hardware::PciReadConfigByte(std::uint8_t bus, std::uint8_t deviceFunction,
                                              std::uint16_t offset) {
  ProcessorPorts ports;
  return platform::PciConfigReadByte(ports, bus, deviceFunction, offset);
}

std::uint16_t Win32Hardware::PciReadConfigWord(std::uint8_t bus, std::uint8_t deviceFunction,
                                               std::uint16_t offset) {
  ProcessorPorts ports;
  return platform::PciConfigReadWord(ports, bus, deviceFunction, offset);
}

void Win32Hardware::PciWriteConfigWord(std::uint8_t bus, std::uint8_t deviceFunction,
                                       std::uint16_t offset, std::uint16_t value) {
  ProcessorPorts ports;
  platform::PciConfigWriteWord(ports, bus, deviceFunction, offset, value);
}

std::uint16_t Win32Hardware::PortRead16(std::uint16_t port) {
  return In16(port);
}

std::uint32_t Win32Hardware::PortRead32(std::uint16_t port) {
  return In32(port);
}

void Win32Hardware::PortWrite32(std::uint16_t port, std::uint32_t value) {
  Out32(port, value);
}

}  // namespace win32
