// Component streaming: the binary form (beginning "TPF0"), the text form (beginning "object"),
// the writer and reader of published properties, and the conversion between the two forms.
//
// Binary form: "TPF0", a version byte, then one component:
//   [prefix byte $F0|flags [child position]] class name, component name,
//   properties (name, tagged value)..., 0, child components..., 0
// Names and identifiers are a length byte and that many bytes; every value starts with a
// TValueType tag; integers, lengths and floats are little-endian. Lengths are checked against
// what is left of the stream and nesting is limited, so a damaged stream raises EReadError.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/component.h"
#include "platform/exceptions.h"
#include "platform/typinfo.h"

class TCollection;
class TStream;
class TStrings;

// A syntax error in the text form: "Line %d: %s".
class EParserError : public EReadError {
public:
  using EReadError::EReadError;
};

enum TValueType : uint8_t {
  vaNull,
  vaList,
  vaInt8,
  vaInt16,
  vaInt32,
  vaExtended,
  vaString,
  vaIdent,
  vaFalse,
  vaTrue,
  vaBinary,
  vaSet,
  vaLString,
  vaNil,
  vaCollection,
  vaSingle,
  vaCurrency,
  vaDate,
  vaWString,
  vaInt64,
  vaUTF8String,
  vaDouble
};

// Prefix flags of a component in a stream.
enum TFilerFlag { ffInherited, ffChildPos, ffInline };
using TFilerFlags = TSet<TFilerFlag>;

// The version byte written after the signature.
inline constexpr uint8_t StreamFormatVersion = 1;
// Components, lists and collections nested deeper than this are refused.
inline constexpr int MaxStreamDepth = 64;

using TReaderProc = std::function<void(TReader* Reader)>;
using TWriterProc = std::function<void(TWriter* Writer)>;
using TStreamProc = std::function<void(TStream& Stream)>;

// The common part of TReader and TWriter.
class TFiler {
public:
  TFiler(TStream& Stream, int BufSize);
  TFiler(const TFiler&) = delete;
  TFiler& operator=(const TFiler&) = delete;
  virtual ~TFiler();

  // A property beyond the published ones, written by WriteData when HasData, read by ReadData.
  virtual void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                              bool HasData) = 0;
  // The same with a block of bytes.
  virtual void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                                    bool HasData) = 0;

  TStream& Stream() { return FStream; }
  // The component the stream is about (names of references are relative to it).
  TComponent* Root() const { return FRoot; }
  virtual void SetRoot(TComponent* Value) { FRoot = Value; }
  TComponent* LookupRoot() const { return FLookupRoot; }
  // The object the one being written is compared with (nullptr: compare with defaults).
  TPersistent* Ancestor() const { return FAncestor; }
  void SetAncestor(TPersistent* Value) { FAncestor = Value; }
  bool IgnoreChildren() const { return FIgnoreChildren; }
  void SetIgnoreChildren(bool Value) { FIgnoreChildren = Value; }

protected:
  TStream& FStream;
  std::vector<uint8_t> FBuffer;
  int FBufPos = 0;
  int FBufEnd = 0;
  TComponent* FRoot = nullptr;
  TComponent* FLookupRoot = nullptr;
  TPersistent* FAncestor = nullptr;
  bool FIgnoreChildren = false;
};

// Writes components and their published properties in the binary form.
class TWriter : public TFiler {
public:
  explicit TWriter(TStream& Stream, int BufSize = 4096);
  ~TWriter() override;  // flushes

  // Sets the lookup root too: references are written relative to it.
  void SetRoot(TComponent* Value) override;

  void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                            bool HasData) override;

  // The signature, then Root and its children; properties are compared with AAncestor's.
  void WriteDescendent(TComponent* ARoot, TComponent* AAncestor);
  void WriteRootComponent(TComponent* ARoot) { WriteDescendent(ARoot, nullptr); }
  void WriteSignature();
  // One component (with its children) through its WriteState.
  void WriteComponent(TComponent* Component);
  // The body of a component: prefix, class name, name, properties, children.
  void WriteData(TComponent* Instance);
  // The published properties of Instance, then its DefineProperties.
  void WriteProperties(TPersistent* Instance);
  void WriteCollection(TCollection* Value);

  void WriteListBegin();
  void WriteListEnd();
  void WriteInteger(int64_t Value);  // the smallest of vaInt8/16/32/64
  void WriteBoolean(bool Value);
  void WriteChar(char Value);
  void WriteString(const std::string& Value);  // vaString up to 255 bytes, else vaLString
  void WriteIdent(const std::string& Ident);
  void WriteFloat(long double Value);  // vaExtended
  void WriteDouble(double Value);
  void WriteSingle(float Value);
  void WriteCurrency(long double Value);  // value × 10000 as a 64-bit integer
  void WriteDate(double Value);
  void WriteSet(const TEnumInfo* Elements, uint64_t Bits);
  void WriteNil();
  void WriteBinary(const TStreamProc& WriteData);
  // A name as in a component reference: "Name" or "Owner.Name" relative to the lookup root.
  void WriteComponentRef(TComponent* Value);

  void WriteValue(TValueType Value);
  void WriteStr(const std::string& Value);  // a length byte and at most 255 bytes
  void Write(const void* Buf, int Count);
  void FlushBuffer();
  int64_t Position();

  // Called for each component written; may change the ancestor it is compared with.
  std::function<void(TWriter* Writer, TComponent* Component, const std::string& Name, TComponent*& Ancestor,
                     TComponent*& RootAncestor)>
      OnFindAncestor;

private:
  void WritePrefix(TFilerFlags Flags, int ChildPos);
  void WritePropName(const std::string& PropName);
  void WriteProperty(TPersistent* Instance, const TPropInfo* Info);
  void WritePropPath(TPersistent* Instance, TPersistent* Ancestor, const std::string& Path);
  bool CollectionsEqual(TCollection* C1, TCollection* C2);
  std::string ComponentRefName(TComponent* Value);

  std::string FPropPath;
  TComponent* FRootAncestor = nullptr;
  int FDepth = 0;
};

// Reads what TWriter wrote. Reading errors are handed to OnError; when it answers Handled, the
// offending property (or child component) is skipped and reading goes on. Damage to the stream's
// structure (bad tags, lengths past the end, nesting too deep) always raises EReadError.
class TReader : public TFiler {
public:
  explicit TReader(TStream& Stream, int BufSize = 4096);
  // Puts the stream back at the end of what was read.
  ~TReader() override;

  void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                            bool HasData) override;

  // Reads the signature and one component. With Root, the stream is read into it (properties in
  // the stream are set, others keep their values, children are created; the root keeps its own
  // name unless it had none); without, the component is created from the registered class.
  TComponent* ReadRootComponent(TComponent* Root);
  void ReadSignature();
  // A child component of the current root (or Component itself when given). Before its
  // properties are read it gets SetParentComponent with the component it is a child of.
  TComponent* ReadComponent(TComponent* Component);
  // The body of a component after its class name and name: properties and children.
  void ReadData(TComponent* Instance);
  void ReadProperty(TPersistent* Instance);
  void ReadCollection(TCollection* Collection);
  // References read so far are resolved; Loaded is called on the components read.
  void FixupReferences();

  TValueType ReadValue();
  TValueType NextValue();
  bool EndOfList();
  void ReadListBegin();
  void ReadListEnd();
  int32_t ReadInteger();
  int64_t ReadInt64();
  bool ReadBoolean();
  char ReadChar();
  std::string ReadString();
  std::string ReadIdent();
  long double ReadFloat();
  double ReadDouble();
  float ReadSingle();
  long double ReadCurrency();
  double ReadDate();
  void SkipValue();
  // Skips the rest of a value whose tag has been read.
  void SkipValueBody(TValueType Tag);
  std::string ReadStr();  // a length byte and that many bytes
  // A 4-byte length, checked against what is left of the stream.
  int64_t ReadLength(int Size);
  // The optional prefix of a component.
  void ReadPrefix(TFilerFlags& Flags, int& ChildPos);
  void Read(void* Buf, int64_t Count);
  // Bytes left in the stream after the reading position.
  int64_t Remaining();
  int64_t Position();
  // Puts the stream at the reading position and empties the buffer.
  void FlushBuffer();

  TComponent* Owner() const { return FOwner; }
  void SetOwner(TComponent* Value) { FOwner = Value; }
  TComponent* Parent() const { return FParent; }
  void SetParent(TComponent* Value) { FParent = Value; }

  // Hands Message to OnError; true when the caller wants reading to go on.
  virtual bool Error(const std::string& Message);
  // The handler of that name: the root's published method, else what OnFindMethod gives.
  virtual TMethod FindMethod(TComponent* Root, const std::string& MethodName);

  // Hooks. OnError: set Handled to go on past the error. OnFindMethod: gets Error = true when
  // the root has no such method; clearing Error accepts Method as it is (empty: no handler).
  std::function<void(TReader* Reader, const std::string& Message, bool& Handled)> OnError;
  std::function<void(TReader* Reader, const std::string& MethodName, TMethod& Method, bool& Error)> OnFindMethod;
  std::function<void(TReader* Reader, TComponent* Component, std::string& Name)> OnSetName;
  std::function<void(TReader* Reader, std::string& Name)> OnReferenceName;
  std::function<void(TReader* Reader, const std::string& ClassName, TComponentClass& ComponentClass)>
      OnFindComponentClass;

private:
  struct TFixup {
    TObject* Instance;
    const TPropInfo* Info;
    std::string Name;
    TComponent* Holder;  // the component whose reading recorded it
  };
  void FillBuffer(int64_t Need);
  TComponentClass FindComponentClass(const std::string& ClassName);
  void ReadDataInner(TComponent* Instance);
  void ReadPropValue(TObject* Instance, const TPropInfo* Info);
  void ReadStrings(TStrings* Strings);
  void SkipComponent(bool SkipHeader);
  void SkipSetBody();
  void SkipBytes(int64_t Count);
  void Enter();
  void Leave() { --FDepth; }
  TComponent* ResolveName(const std::string& Name);
  void DropFixups(TComponent* Holder);
  // The components read so far, told to the reader when one is freed before the reading ends
  // (a component that fails frees what it made, its parts read from the stream among them).
  void AddLoaded(TComponent* Component);
  void ForgetLoaded(TComponent* Component);
  [[noreturn]] void FormatError();

  TComponent* FOwner = nullptr;
  TComponent* FParent = nullptr;
  TComponent* FCurrent = nullptr;
  std::vector<TComponent*> FLoaded;
  std::vector<TFixup> FFixups;
  std::string FPropName;
  std::string FRootStreamName;  // the root's name in the stream (the root may keep its own)
  int64_t FStreamEnd = 0;       // stream position of the last byte + 1
  int64_t FBufStart = 0;        // stream position of FBuffer[0]
  int FDepth = 0;
  bool FCanHandleExcepts = false;
  std::unique_ptr<TComponent> FLoadedWatch;  // hears the frees of FLoaded (goes first)
};

// Converts a whole binary stream (from its position) to the text form and back. Text parsing
// errors raise EParserError; binary damage raises EReadError.
void ObjectBinaryToText(TStream& Input, TStream& Output);
void ObjectTextToBinary(TStream& Input, TStream& Output);
// Whether the bytes at the stream's position look like the text form (the position is kept).
bool IsTextFormStream(TStream& Stream);

// A component to and from a stream in the binary form. ReadComponentFromStream with a component
// reads into it; without one it creates the component from the registered class (the caller owns
// it). OnError, when given, decides about each reading error as TReader::OnError does.
void WriteComponentToStream(TStream& Stream, TComponent* Instance);
TComponent* ReadComponentFromStream(TStream& Stream, TComponent* Instance,
                                    const std::function<void(TReader*, const std::string&, bool&)>& OnError = nullptr);
// The same through the text form.
std::string ComponentToText(TComponent* Instance);
TComponent* TextToComponent(const std::string& Text, TComponent* Instance);
