/* A stand-in for the disc's detection driver, for the tests under Wine only: it creates the
 * device behind "\\.\orvainfo" and answers the identity request (control code 0, 8 bytes in)
 * with the four 16-bit words it was built with, without touching any hardware (port
 * instructions in a driver end Wine's driver host). Built once per answer:
 *   ORV_REPLY_WORDS  the first four words of the reply, e.g. 0x7C5A,0x0111,0,0
 *   ORV_REPLY_BYTES  how many bytes the reply reports (256; fewer for a short reply) */
#include <ntddk.h>

#ifndef ORV_REPLY_WORDS
#define ORV_REPLY_WORDS 0, 0, 0, 0
#endif
#ifndef ORV_REPLY_BYTES
#define ORV_REPLY_BYTES 256
#endif

static const USHORT kReplyWords[4] = {ORV_REPLY_WORDS};

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = information;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

static NTSTATUS OpenOrClose(PDEVICE_OBJECT device, PIRP irp) {
  (void)device;
  return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS Control(PDEVICE_OBJECT device, PIRP irp) {
  (void)device;
  PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
  ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
  ULONG in = stack->Parameters.DeviceIoControl.InputBufferLength;
  ULONG out = stack->Parameters.DeviceIoControl.OutputBufferLength;
  /* Control code 0 is METHOD_BUFFERED: input and output share the system buffer. */
  UCHAR* buffer = (UCHAR*)irp->AssociatedIrp.SystemBuffer;
  if (code != 0 || in < 8 || out < 256 || buffer == NULL) {
    return Complete(irp, STATUS_INVALID_PARAMETER, 0);
  }
  RtlZeroMemory(buffer, 256);
  for (int i = 0; i < 4; ++i) {
    buffer[2 * i] = (UCHAR)(kReplyWords[i] & 0xFF);
    buffer[2 * i + 1] = (UCHAR)(kReplyWords[i] >> 8);
  }
  return Complete(irp, STATUS_SUCCESS, ORV_REPLY_BYTES);
}

static void Unload(PDRIVER_OBJECT driver) {
  UNICODE_STRING link;
  RtlInitUnicodeString(&link, L"\\DosDevices\\orvainfo");
  IoDeleteSymbolicLink(&link);
  if (driver->DeviceObject != NULL) {
    IoDeleteDevice(driver->DeviceObject);
  }
}

NTSTATUS DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
  (void)registryPath;
  UNICODE_STRING name;
  UNICODE_STRING link;
  PDEVICE_OBJECT device = NULL;
  RtlInitUnicodeString(&name, L"\\Device\\orvainfo");
  RtlInitUnicodeString(&link, L"\\DosDevices\\orvainfo");
  NTSTATUS status =
      IoCreateDevice(driver, 0, &name, FILE_DEVICE_UNKNOWN, 0, FALSE, &device);
  if (!NT_SUCCESS(status)) {
    return status;
  }
  status = IoCreateSymbolicLink(&link, &name);
  if (!NT_SUCCESS(status)) {
    IoDeleteDevice(device);
    return status;
  }
  driver->MajorFunction[IRP_MJ_CREATE] = OpenOrClose;
  driver->MajorFunction[IRP_MJ_CLOSE] = OpenOrClose;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = Control;
  driver->DriverUnload = Unload;
  return STATUS_SUCCESS;
}
