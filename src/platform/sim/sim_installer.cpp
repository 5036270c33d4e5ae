#include "platform/sim/sim_installer.h"

#include <algorithm>

#include "platform/sim/sim_result_codes.h"
#include "platform/sim/sim_query.h"
#include "platform/text_answer.h"

namespace zarvo::sim {
namespace {

constexpr WinResult kErrorUnknownProperty = 1608;

bool IsFieldNumber(std::u16string_view text)
{
    return !text.empty() && text.size() < 6 &&
           std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

std::uint32_t FieldNumber(std::u16string_view text)
{
    std::uint32_t number = 0;
    for (char16_t c : text) number = number * 10 + (c - u'0');
    return number;
}

std::optional<std::size_t> ColumnIndex(const SimTable& table, const std::u16string& name)
{
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        if (table.columns[i].name == name) return i;
    return std::nullopt;
}

// Nulls first, then numbers by value or texts by their code units, as the installer sorts.
bool FieldLess(const SimField& a, const SimField& b, bool integer)
{
    if (!a || !b) return !a && b;
    if (integer) return std::stoll(std::string(a->begin(), a->end())) <
                        std::stoll(std::string(b->begin(), b->end()));
    return *a < *b;
}

bool IsProductCode(std::u16string_view code)
{
    return code.size() == 38 && code.front() == u'{' && code.back() == u'}';
}

}  // namespace

SimInstaller::SimInstaller(SimLedger& ledger, FileVersionSource fileVersions)
    : ledger_(ledger), fileVersions_(std::move(fileVersions))
{
}

InstallerHandle SimInstaller::OpenSession(std::shared_ptr<SimDatabase> database)
{
    const auto handle = static_cast<InstallerHandle>(ledger_.NewHandleValue());
    sessions_[handle].database = std::move(database);
    return handle;
}

void SimInstaller::SetPropertyValue(InstallerHandle session, const std::u16string& name,
                                    const std::u16string& value)
{
    sessions_.at(session).properties[name] = value;
}

std::u16string SimInstaller::PropertyValue(InstallerHandle session,
                                           const std::u16string& name) const
{
    const auto& properties = sessions_.at(session).properties;
    const auto found = properties.find(name);
    return found == properties.end() ? std::u16string() : found->second;
}

const std::map<std::u16string, std::u16string>& SimInstaller::Properties(
    InstallerHandle session) const
{
    return sessions_.at(session).properties;
}

const std::map<std::u16string, int>& SimInstaller::ComponentRequests(InstallerHandle session) const
{
    return sessions_.at(session).componentRequests;
}

const std::vector<std::u16string>& SimInstaller::Messages(InstallerHandle session) const
{
    return sessions_.at(session).messages;
}

void SimInstaller::AddComponent(const std::u16string& name)
{
    components_.push_back(name);
}

void SimInstaller::InstallProduct(const std::u16string& productCode, const std::u16string& state)
{
    products_[productCode] = state;
}

InstallerHandle SimInstaller::CreateOwnRecord(std::uint32_t fields)
{
    const auto handle = static_cast<InstallerHandle>(ledger_.NewHandleValue());
    objects_.emplace(handle, RecordObject{std::vector<SimField>(fields + 1)});
    return handle;
}

void SimInstaller::SetRecordField(InstallerHandle record, std::uint32_t field, SimField value)
{
    std::get<RecordObject>(objects_.at(record)).fields.at(field) = std::move(value);
}

SimField SimInstaller::RecordField(InstallerHandle record, std::uint32_t field) const
{
    return std::get<RecordObject>(objects_.at(record)).fields.at(field);
}

template <typename T>
T* SimInstaller::Find(InstallerHandle handle)
{
    const auto found = objects_.find(handle);
    return found == objects_.end() ? nullptr : std::get_if<T>(&found->second);
}

SimInstaller::Session* SimInstaller::FindSession(InstallerHandle session)
{
    const auto found = sessions_.find(session);
    return found == sessions_.end() ? nullptr : &found->second;
}

InstallerHandle SimInstaller::AddObject(Object object)
{
    return ledger_.OpenWith(HandleKind::Installer, objects_, std::move(object));
}

std::optional<WinResult> SimInstaller::SizingAnswer(std::uint32_t* count) const
{
    if (count == nullptr || *count != 0) return std::nullopt;
    if (answerSizingCallsWithSuccess) return kErrorSuccess;
    if (!claimedLength) return std::nullopt;
    *count = *claimedLength;
    return kErrorMoreData;
}

WinResult SimInstaller::GetProperty(InstallerHandle session, const char16_t* name,
                                    char16_t* buffer, std::uint32_t* count)
{
    if (ledger_.FailThisCall(Operation::GetProperty)) return kErrorFunctionFailed;
    Session* found = FindSession(session);
    if (found == nullptr) return kErrorInvalidHandle;
    if (name == nullptr) return kErrorInvalidParameter;
    if (const auto answer = SizingAnswer(count)) return *answer;
    const auto property = found->properties.find(name);
    return CopyTextOut(property == found->properties.end() ? u"" : property->second, buffer, count);
}

WinResult SimInstaller::SetProperty(InstallerHandle session, const char16_t* name,
                                    const char16_t* value)
{
    if (ledger_.FailThisCall(Operation::SetProperty)) return kErrorFunctionFailed;
    Session* found = FindSession(session);
    if (found == nullptr) return kErrorInvalidHandle;
    if (name == nullptr || *name == u'\0') return kErrorInvalidParameter;
    if (refuseProperties) return kErrorFunctionFailed;
    // The installer forgets a property that is set to the empty text.
    if (value == nullptr || *value == u'\0')
        found->properties.erase(name);
    else
        found->properties[name] = value;
    return kErrorSuccess;
}

InstallerHandle SimInstaller::GetActiveDatabase(InstallerHandle session)
{
    if (ledger_.FailThisCall(Operation::GetActiveDatabase)) return 0;
    Session* found = FindSession(session);
    if (found == nullptr || !found->database) return 0;
    return AddObject(DatabaseObject{found->database});
}

int SimInstaller::IsTablePersistent(InstallerHandle database, const char16_t* table)
{
    if (ledger_.FailThisCall(Operation::IsTablePersistent)) return kConditionError;
    const DatabaseObject* found = Find<DatabaseObject>(database);
    if (found == nullptr || table == nullptr) return kConditionError;
    const auto named = found->database->tables.find(table);
    if (named == found->database->tables.end()) return kConditionNone;
    return named->second.persistent ? kConditionTrue : kConditionFalse;
}

WinResult SimInstaller::OpenView(InstallerHandle database, const char16_t* query,
                                 InstallerHandle* view)
{
    if (ledger_.FailThisCall(Operation::OpenView)) return kErrorFunctionFailed;
    const DatabaseObject* found = Find<DatabaseObject>(database);
    if (found == nullptr) return kErrorInvalidHandle;
    if (query == nullptr || view == nullptr) return kErrorInvalidParameter;
    const auto parsed = ParseQuery(query);
    if (!parsed) return kErrorBadQuerySyntax;
    const auto table = found->database->tables.find(parsed->table);
    if (table == found->database->tables.end()) return kErrorBadQuerySyntax;
    ViewObject opened{found->database, parsed->table, {}, std::nullopt, {}, std::nullopt};
    for (const auto& name : parsed->columns) {
        const auto index = ColumnIndex(table->second, name);
        if (!index) return kErrorBadQuerySyntax;
        opened.columns.push_back(*index);
    }
    if (parsed->columns.empty())
        for (std::size_t i = 0; i < table->second.columns.size(); ++i) opened.columns.push_back(i);
    if (parsed->orderBy) {
        opened.orderBy = ColumnIndex(table->second, *parsed->orderBy);
        if (!opened.orderBy) return kErrorBadQuerySyntax;
    }
    *view = AddObject(std::move(opened));
    return kErrorSuccess;
}

void SimInstaller::Execute(ViewObject& view)
{
    const SimTable& table = view.database->tables.at(view.table);
    std::vector<std::vector<SimField>> rows = table.rows;
    if (view.orderBy) {
        const std::size_t key = *view.orderBy;
        const bool integer = table.columns[key].integer;
        std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
            return FieldLess(a[key], b[key], integer);
        });
    }
    view.rows.clear();
    for (const auto& row : rows) {
        std::vector<SimField> selected;
        for (std::size_t column : view.columns) selected.push_back(row[column]);
        view.rows.push_back(std::move(selected));
    }
    view.next = 0;
}

WinResult SimInstaller::ExecuteView(InstallerHandle view, InstallerHandle parameters)
{
    if (ledger_.FailThisCall(Operation::ExecuteView)) return kErrorFunctionFailed;
    ViewObject* found = Find<ViewObject>(view);
    if (found == nullptr) return kErrorInvalidHandle;
    if (parameters != 0) return kErrorInvalidParameter;
    Execute(*found);
    return kErrorSuccess;
}

WinResult SimInstaller::FetchRecord(InstallerHandle view, InstallerHandle* record)
{
    if (ledger_.FailThisCall(Operation::FetchRecord)) return kErrorFunctionFailed;
    ViewObject* found = Find<ViewObject>(view);
    if (found == nullptr) return kErrorInvalidHandle;
    if (record == nullptr) return kErrorInvalidParameter;
    if (!found->next) return kErrorFunctionFailed;
    if (*found->next >= found->rows.size()) return kErrorNoMoreItems;
    RecordObject fetched{{SimField()}};
    const auto& row = found->rows[(*found->next)++];
    fetched.fields.insert(fetched.fields.end(), row.begin(), row.end());
    *record = AddObject(std::move(fetched));
    return kErrorSuccess;
}

InstallerHandle SimInstaller::CreateRecord(std::uint32_t fields)
{
    if (ledger_.FailThisCall(Operation::CreateRecord)) return 0;
    return AddObject(RecordObject{std::vector<SimField>(fields + 1)});
}

WinResult SimInstaller::SetRecordString(InstallerHandle record, std::uint32_t field,
                                        const char16_t* text)
{
    if (ledger_.FailThisCall(Operation::SetRecordString)) return kErrorFunctionFailed;
    RecordObject* found = Find<RecordObject>(record);
    if (found == nullptr) return kErrorInvalidHandle;
    if (field >= found->fields.size()) return kErrorInvalidParameter;
    found->fields[field] = (text == nullptr || *text == u'\0') ? SimField() : SimField(text);
    return kErrorSuccess;
}

std::u16string SimInstaller::FormatBracket(const Session* session, const RecordObject* record,
                                           std::u16string_view inside) const
{
    // "[\x]" stands for the character x itself, so that text can hold brackets.
    if (inside.size() == 2 && inside[0] == u'\\') return std::u16string(1, inside[1]);
    if (record != nullptr && IsFieldNumber(inside)) {
        // A field's own text is formatted in turn, for the properties it names (as the
        // installer does); field numbers in it are not expanded again.
        const std::uint32_t field = FieldNumber(inside);
        if (field < record->fields.size() && record->fields[field])
            return Format(session, nullptr, *record->fields[field]);
        return u"";
    }
    if (session == nullptr) return u"";
    const auto property = session->properties.find(std::u16string(inside));
    return property == session->properties.end() ? u"" : property->second;
}

std::u16string SimInstaller::Format(const Session* session, const RecordObject* record,
                                    const std::u16string& source) const
{
    std::u16string text;
    std::size_t position = 0;
    while (position < source.size()) {
        const std::size_t open = source.find(u'[', position);
        const std::size_t close =
            open == std::u16string::npos ? open : source.find(u']', open + 1);
        if (close == std::u16string::npos) {
            text.append(source, position);
            break;
        }
        text.append(source, position, open - position);
        text += FormatBracket(session, record,
                              std::u16string_view(source).substr(open + 1, close - open - 1));
        position = close + 1;
    }
    return text;
}

WinResult SimInstaller::FormatRecord(InstallerHandle session, InstallerHandle record,
                                     char16_t* buffer, std::uint32_t* count)
{
    if (ledger_.FailThisCall(Operation::FormatRecord)) return kErrorFunctionFailed;
    const RecordObject* found = Find<RecordObject>(record);
    if (found == nullptr) return kErrorInvalidHandle;
    if (const auto answer = SizingAnswer(count)) return *answer;
    const std::u16string text =
        found->fields[0] ? Format(FindSession(session), found, *found->fields[0]) : u"";
    return CopyTextOut(text, buffer, count);
}

WinResult SimInstaller::CloseInstallerHandle(InstallerHandle handle)
{
    const bool failed = ledger_.FailThisCall(Operation::CloseInstallerHandle);
    // A close that fails still lets the handle go, so that no failure leaves one open.
    ledger_.Close(HandleKind::Installer, handle);
    const bool known = objects_.erase(handle) != 0;
    if (failed) return kErrorFunctionFailed;
    return known ? kErrorSuccess : kErrorInvalidHandle;
}

int SimInstaller::ProcessMessage(InstallerHandle session, int type, InstallerHandle record)
{
    if (ledger_.FailThisCall(Operation::ProcessMessage)) return -1;
    Session* found = FindSession(session);
    const RecordObject* message = Find<RecordObject>(record);
    if (found == nullptr || message == nullptr) return -1;
    if (type == kInstallMessageInfo)
        found->messages.push_back(Format(found, message, message->fields[0].value_or(u"")));
    return 1;  // IDOK: an information message needs no answer
}

WinResult SimInstaller::SetComponentState(InstallerHandle session, const char16_t* component,
                                          int state)
{
    if (ledger_.FailThisCall(Operation::SetComponentState)) return kErrorFunctionFailed;
    Session* found = FindSession(session);
    if (found == nullptr) return kErrorInvalidHandle;
    if (component == nullptr ||
        std::find(components_.begin(), components_.end(), component) == components_.end())
        return kErrorUnknownComponent;
    found->componentRequests[component] = state;
    return kErrorSuccess;
}

WinResult SimInstaller::GetFileVersion(const char16_t* path, char16_t* version,
                                       std::uint32_t* versionCount, char16_t*, std::uint32_t*)
{
    if (ledger_.FailThisCall(Operation::GetFileVersion)) return kErrorFunctionFailed;
    if (path == nullptr) return kErrorInvalidParameter;
    const auto text = fileVersions_(path);
    if (!text) return kErrorFileNotFound;
    if (text->empty()) return kErrorFileInvalid;
    return CopyTextOut(*text, version, versionCount);
}

WinResult SimInstaller::GetProductInfo(const char16_t* productCode, const char16_t* userSid,
                                       std::uint32_t context, const char16_t* property,
                                       char16_t* buffer, std::uint32_t* count)
{
    if (ledger_.FailThisCall(Operation::GetProductInfo)) return kErrorFunctionFailed;
    if (productCode == nullptr || !IsProductCode(productCode) || userSid != nullptr ||
        context != kInstallContextMachine || property == nullptr)
        return kErrorInvalidParameter;
    const auto found = products_.find(productCode);
    if (found == products_.end()) return kErrorUnknownProduct;
    if (std::u16string_view(property) != u"State") return kErrorUnknownProperty;
    return CopyTextOut(found->second, buffer, count);
}

}  // namespace zarvo::sim
