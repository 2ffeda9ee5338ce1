// TJIniObject and TJRegIniObject: argument checks and errors shared, the storage
// their own (the INI core of the settings file, or the registry tree).
#include "script/ext/ecma_ini.h"

#include <sys/stat.h>

#include "script/ext/ecma_strings.h"
#include "script/ext/ext_common.h"

namespace kestrel {

using ext::ArgCount;

namespace {

constexpr std::string_view kRootKey = "HKEY_CURRENT_USER";

[[noreturn]] void CreateError() { ext::Fail(ext::errors::IniError, "ini create error"); }

TJIniObject& Ini(TJObject& self) { return static_cast<TJIniObject&>(self); }
TJRegIniObject& Reg(TJObject& self) { return static_cast<TJRegIniObject&>(self); }

// The name errors give: the file name of an Ini, the key path of a RegIni.
std::string NameOf(TJObject& self) {
    if (auto* ini = dynamic_cast<TJIniObject*>(&self)) return ini->File().FileName();
    return static_cast<TJRegIniObject&>(self).KeyPath();
}

// Raises Message + the object's name when fewer than Count arguments came.
void Need(TJObject& self, const TJValueList* args, int count, std::string_view message) {
    if (ArgCount(args) < count) ext::Fail(ext::errors::IniError, message, NameOf(self));
}

std::string Text(const TJValueList* args, int i) { return (*args)[i].AsString().str(); }

// --- Ini

void IniRead(TJObject& self, const TJValueList* args, TJValue& result) {
    Need(self, args, 3, "read error: ");
    result.BuildString(TJString(Ini(self).File().ReadString(Text(args, 0), Text(args, 1), Text(args, 2))));
}

void IniWrite(TJObject& self, const TJValueList* args, TJValue& result) {
    Need(self, args, 3, "write error: ");
    Ini(self).File().WriteString(Text(args, 0), Text(args, 1), Text(args, 2));
    result.BuildObject(&self);
}

void IniDeleteKey(TJObject& self, const TJValueList* args, TJValue& result) {
    Need(self, args, 2, "deleteKey error: ");
    Ini(self).File().DeleteKey(Text(args, 0), Text(args, 1));
    result.BuildObject(&self);
}

void IniEraseSection(TJObject& self, const TJValueList* args, TJValue& result) {
    Need(self, args, 1, "eraseSection error: ");
    Ini(self).File().EraseSection(Text(args, 0));
    result.BuildObject(&self);
}

void IniReadSection(TJObject& self, const TJValueList* args, TJValue& result) {
    Need(self, args, 1, "readSection error: ");
    result.BuildObject(TJStringsObject::Make(self.Engine(), Ini(self).File().ReadSection(Text(args, 0))));
}

void IniReadSections(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildObject(TJStringsObject::Make(self.Engine(), Ini(self).File().ReadSections()));
}

void IniSectionExists(TJObject& self, const TJValueList* args, TJValue& result) {
    result.BuildBool(ArgCount(args) >= 1 && Ini(self).File().SectionExists(Text(args, 0)));
}

// A failed write is reported, never passed over; the old file stays as it was.
void IniUpdate(TJObject& self, const TJValueList*, TJValue& result) {
    if (Ini(self).File().LoadFailed() || !Ini(self).File().Save())
        ext::Fail(ext::errors::IniError, "write error: ", Ini(self).File().FileName());
    result.BuildObject(&self);
}

std::string IniFileName(TJObject& self, int) { return Ini(self).File().FileName(); }

// --- RegIni

void RegRead(TJObject& self, const TJValueList* args, TJValue& result) {
    Need(self, args, 3, "read error: ");
    const auto value = Reg(self).Key().ReadValue(Text(args, 0), Text(args, 1));
    result.BuildString(TJString(value ? *value : Text(args, 2)));
}

void RegWrite(TJObject& self, const TJValueList* args, TJValue& result) {
    Need(self, args, 3, "write error: ");
    if (!Reg(self).Key().WriteValue(Text(args, 0), Text(args, 1), Text(args, 2)))
        ext::Fail(ext::errors::IniError, "write error: ", Reg(self).KeyPath());
    result.BuildObject(&self);
}

void RegDeleteKey(TJObject& self, const TJValueList* args, TJValue& result) {
    Need(self, args, 2, "deleteKey error: ");
    if (!Reg(self).Key().DeleteValue(Text(args, 0), Text(args, 1)))
        ext::Fail(ext::errors::IniError, "deleteKey error: ", Reg(self).KeyPath());
    result.BuildObject(&self);
}

void RegEraseSection(TJObject& self, const TJValueList* args, TJValue& result) {
    Need(self, args, 1, "eraseSection error: ");
    if (!Reg(self).Key().DeleteSubKey(Text(args, 0)))
        ext::Fail(ext::errors::IniError, "eraseSection error: ", Reg(self).KeyPath());
    result.BuildObject(&self);
}

void RegReadSection(TJObject& self, const TJValueList* args, TJValue& result) {
    Need(self, args, 1, "readSection error: ");
    auto names = Reg(self).Key().ValueNames(Text(args, 0));
    if (!names) ext::Fail(ext::errors::IniError, "readSection error: ", Reg(self).KeyPath());
    result.BuildObject(TJStringsObject::Make(self.Engine(), std::move(*names)));
}

void RegReadSections(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildObject(TJStringsObject::Make(self.Engine(), Reg(self).Key().SubKeys()));
}

void RegSectionExists(TJObject& self, const TJValueList* args, TJValue& result) {
    result.BuildBool(ArgCount(args) >= 1 && Reg(self).Key().SubKeyExists(Text(args, 0)));
}

std::string RegRootKey(TJObject&, int) { return std::string(kRootKey); }
std::string RegKeyPath(TJObject& self, int) { return Reg(self).KeyPath(); }

}  // namespace

TJIniObject::TJIniObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("Ini");
    const TJValue* name = ext::Arg(param, 0);
    if (!name) CreateError();
    const std::string fileName = name->AsString().str();
    struct stat st {};
    if (fileName.empty() || (::stat(fileName.c_str(), &st) == 0 &&
                             (!S_ISREG(st.st_mode) || !ext::FitsStringLimit(static_cast<std::uint64_t>(st.st_size)))))
        CreateError();
    file_ = std::make_unique<tinctor::TMemIniFile>(fileName);
    if (file_->LoadFailed()) CreateError();
}

TJIniObject::~TJIniObject() = default;

const TJMethodTable* TJIniObject::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{
                                         M::Method("read", &IniRead),
                                         M::Method("write", &IniWrite),
                                         M::Method("deleteKey", &IniDeleteKey),
                                         M::Method("eraseSection", &IniEraseSection),
                                         M::Method("readSection", &IniReadSection),
                                         M::Method("readSections", &IniReadSections),
                                         M::Method("sectionExists", &IniSectionExists),
                                         M::Method("update", &IniUpdate),
                                     },
                                     &BaseMethods()};
    return &table;
}

const TJPropertyTable* TJIniObject::PublishedProperties() const {
    static const TJPropertyTable table{StringProperty("filename", &IniFileName, nullptr)};
    return &table;
}

TJRegIniObject::TJRegIniObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("RegIni");
    const TJValue* key = ext::Arg(param, 0);
    if (!key) CreateError();
    keyPath_ = key->AsString().str();
    if (!key_.Open(keyPath_)) CreateError();
}

const TJMethodTable* TJRegIniObject::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{
                                         M::Method("read", &RegRead),
                                         M::Method("write", &RegWrite),
                                         M::Method("deleteKey", &RegDeleteKey),
                                         M::Method("eraseSection", &RegEraseSection),
                                         M::Method("readSection", &RegReadSection),
                                         M::Method("readSections", &RegReadSections),
                                         M::Method("sectionExists", &RegSectionExists),
                                     },
                                     &BaseMethods()};
    return &table;
}

const TJPropertyTable* TJRegIniObject::PublishedProperties() const {
    static const TJPropertyTable table{StringProperty("rootKey", &RegRootKey, nullptr),
                                       StringProperty("key", &RegKeyPath, nullptr)};
    return &table;
}

}  // namespace kestrel
