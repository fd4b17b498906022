// The toolkit's exception families.
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
public:
  explicit Exception(std::string msg) : FMessage(std::move(msg)) {}
  ~Exception() override = default;

  const std::string& Message() const { return FMessage; }
  void SetMessage(const std::string& msg) { FMessage = msg; }
  const char* what() const noexcept override { return FMessage.c_str(); }

private:
  std::string FMessage;
};

#define VM_DECLARE_EXCEPTION(Name, Base) \
  class Name : public Base {             \
  public:                                \
    using Base::Base;                    \
  };

VM_DECLARE_EXCEPTION(EAbort, Exception)
VM_DECLARE_EXCEPTION(EConvertError, Exception)
VM_DECLARE_EXCEPTION(EInOutError, Exception)
VM_DECLARE_EXCEPTION(EExternal, Exception)
VM_DECLARE_EXCEPTION(EIntError, EExternal)
VM_DECLARE_EXCEPTION(EMathError, EExternal)
VM_DECLARE_EXCEPTION(ERangeError, EIntError)
VM_DECLARE_EXCEPTION(EIntOverflow, EIntError)
VM_DECLARE_EXCEPTION(EDivByZero, EIntError)
VM_DECLARE_EXCEPTION(EZeroDivide, EMathError)
VM_DECLARE_EXCEPTION(EInvalidOp, EMathError)
VM_DECLARE_EXCEPTION(EOverflow, EMathError)
VM_DECLARE_EXCEPTION(EUnderflow, EMathError)
VM_DECLARE_EXCEPTION(EInvalidCast, Exception)
VM_DECLARE_EXCEPTION(EInvalidPointer, Exception)
VM_DECLARE_EXCEPTION(EOutOfMemory, Exception)
VM_DECLARE_EXCEPTION(EAssertionFailed, Exception)
VM_DECLARE_EXCEPTION(EListError, Exception)
VM_DECLARE_EXCEPTION(EStringListError, EListError)
VM_DECLARE_EXCEPTION(EStreamError, Exception)
VM_DECLARE_EXCEPTION(EFileStreamError, EStreamError)
VM_DECLARE_EXCEPTION(EFCreateError, EFileStreamError)
VM_DECLARE_EXCEPTION(EFOpenError, EFileStreamError)
VM_DECLARE_EXCEPTION(EReadError, EStreamError)
VM_DECLARE_EXCEPTION(EWriteError, EStreamError)
VM_DECLARE_EXCEPTION(EFilerError, EStreamError)
VM_DECLARE_EXCEPTION(EClassNotFound, EFilerError)
VM_DECLARE_EXCEPTION(EInvalidOperation, Exception)
VM_DECLARE_EXCEPTION(EComponentError, Exception)
VM_DECLARE_EXCEPTION(EPropertyError, Exception)
VM_DECLARE_EXCEPTION(EOSError, Exception)
VM_DECLARE_EXCEPTION(EPrinter, Exception)
VM_DECLARE_EXCEPTION(EInvalidGraphic, Exception)
VM_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception)
VM_DECLARE_EXCEPTION(EResNotFound, Exception)

#undef VM_DECLARE_EXCEPTION

// Raises EAbort: the silent exception that the message loop does not show.
[[noreturn]] void Abort();
