#include "platform/libmsi/libmsi_package_database.h"

#include <gio/gio.h>
#include <libmsi.h>

#include <map>
#include <string>

#include "platform/libmsi/libmsi_object.h"
#include "platform/libmsi/libmsi_result.h"
#include "platform/libmsi/libmsi_text.h"
#include "platform/libmsi/libmsi_trial_read.h"
#include "platform/text_answer.h"

namespace zarvo::libmsi {
namespace {

// One object behind a handle. A record keeps the streams it is read from piece by piece:
// libmsi hands out a new stream, at its start, each time it is asked for one.
struct Opened {
    Owned<GObject> object;
    std::map<std::uint32_t, Owned<GInputStream>> streams;
};

// libmsi, and the compound-file library under it, write what they do not find or cannot read
// to stderr (a missing table as "Couldn't find id"); the answers say it already, and the
// checker's output stays its own.
void QuietLibraryLogs()
{
    static const bool quiet = [] {
        const auto levels = static_cast<GLogLevelFlags>(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING |
                                                        G_LOG_LEVEL_MESSAGE);
        const auto drop = [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {};
        for (const char* domain : {static_cast<const char*>(nullptr), "libgsf", "libgsf:msole"})
            g_log_set_handler(domain, levels, drop, nullptr);
        return true;
    }();
    static_cast<void>(quiet);
}

WinResult TrialAnswer(TrialOutcome outcome)
{
    switch (outcome) {
    case TrialOutcome::ReadThrough: return kSuccess;
    case TrialOutcome::NotOpened: return kOpenFailed;
    case TrialOutcome::Damaged: return kInstallPackageInvalid;
    case TrialOutcome::NotRun: break;
    }
    return kFunctionFailed;
}

}  // namespace

struct LibmsiPackageDatabase::Objects {
    std::map<InstallerHandle, Opened> opened;
    InstallerHandle last = 0;

    // Takes the caller's reference to the object.
    InstallerHandle Add(gpointer object)
    {
        opened[++last].object.reset(static_cast<GObject*>(object));
        return last;
    }

    Opened* Find(InstallerHandle handle, GType type)
    {
        const auto found = opened.find(handle);
        if (found == opened.end() || !G_TYPE_CHECK_INSTANCE_TYPE(found->second.object.get(), type))
            return nullptr;
        return &found->second;
    }

    template <typename T>
    T* Object(InstallerHandle handle, GType type)
    {
        Opened* found = Find(handle, type);
        return found == nullptr ? nullptr : reinterpret_cast<T*>(found->object.get());
    }
};

LibmsiPackageDatabase::LibmsiPackageDatabase() : objects_(std::make_unique<Objects>())
{
    QuietLibraryLogs();
}

LibmsiPackageDatabase::~LibmsiPackageDatabase() = default;

WinResult LibmsiPackageDatabase::OpenDatabase(const char16_t* path, InstallerHandle* database)
{
    if (path == nullptr || database == nullptr) return kInvalidParameter;
    const std::optional<std::string> name = ToUtf8(path);
    if (!name) return kInvalidParameter;
    if (const WinResult trial = TrialAnswer(TrialRead(name->c_str())); trial != kSuccess) return trial;
    ErrorSlot error;
    LibmsiDatabase* opened = libmsi_database_new(name->c_str(), LIBMSI_DB_FLAGS_READONLY, nullptr, error.Out());
    if (opened == nullptr) return ResultOf(error.Get(), kOpenFailed);
    *database = objects_->Add(opened);
    return kSuccess;
}

int LibmsiPackageDatabase::IsTablePersistent(InstallerHandle database, const char16_t* table)
{
    auto* opened = objects_->Object<LibmsiDatabase>(database, LIBMSI_TYPE_DATABASE);
    const std::optional<std::string> name = table == nullptr ? std::nullopt : ToUtf8(table);
    if (opened == nullptr || !name) return kConditionError;
    ErrorSlot error;
    const bool persistent = libmsi_database_is_table_persistent(opened, name->c_str(), error.Out());
    if (error.Get() == nullptr) return persistent ? kConditionTrue : kConditionFalse;
    return ResultOf(error.Get(), kFunctionFailed) == kInvalidTable ? kConditionNone : kConditionError;
}

WinResult LibmsiPackageDatabase::OpenView(InstallerHandle database, const char16_t* query,
                                          InstallerHandle* view)
{
    auto* opened = objects_->Object<LibmsiDatabase>(database, LIBMSI_TYPE_DATABASE);
    if (opened == nullptr) return kInvalidHandle;
    const std::optional<std::string> text = query == nullptr ? std::nullopt : ToUtf8(query);
    if (!text || view == nullptr) return kInvalidParameter;
    ErrorSlot error;
    LibmsiQuery* created = libmsi_query_new(opened, text->c_str(), error.Out());
    if (created == nullptr) return ResultOf(error.Get(), kBadQuerySyntax);
    *view = objects_->Add(created);
    return kSuccess;
}

WinResult LibmsiPackageDatabase::ExecuteView(InstallerHandle view)
{
    auto* query = objects_->Object<LibmsiQuery>(view, LIBMSI_TYPE_QUERY);
    if (query == nullptr) return kInvalidHandle;
    ErrorSlot error;
    if (!libmsi_query_execute(query, nullptr, error.Out())) return ResultOf(error.Get(), kFunctionFailed);
    return kSuccess;
}

WinResult LibmsiPackageDatabase::FetchRecord(InstallerHandle view, InstallerHandle* record)
{
    auto* query = objects_->Object<LibmsiQuery>(view, LIBMSI_TYPE_QUERY);
    if (query == nullptr) return kInvalidHandle;
    if (record == nullptr) return kInvalidParameter;
    ErrorSlot error;
    LibmsiRecord* fetched = libmsi_query_fetch(query, error.Out());
    // Past the last row libmsi answers nothing, without an error.
    if (fetched == nullptr) return ResultOf(error.Get(), kNoMoreItems);
    *record = objects_->Add(fetched);
    return kSuccess;
}

WinResult LibmsiPackageDatabase::GetColumnInfo(InstallerHandle view, std::uint32_t kind,
                                               InstallerHandle* record)
{
    auto* query = objects_->Object<LibmsiQuery>(view, LIBMSI_TYPE_QUERY);
    if (query == nullptr) return kInvalidHandle;
    if ((kind != kColumnNames && kind != kColumnTypes) || record == nullptr) return kInvalidParameter;
    ErrorSlot error;
    LibmsiRecord* columns = libmsi_query_get_column_info(query, static_cast<LibmsiColInfo>(kind), error.Out());
    if (columns == nullptr) return ResultOf(error.Get(), kFunctionFailed);
    *record = objects_->Add(columns);
    return kSuccess;
}

std::uint32_t LibmsiPackageDatabase::GetFieldCount(InstallerHandle record)
{
    const auto* fields = objects_->Object<LibmsiRecord>(record, LIBMSI_TYPE_RECORD);
    return fields == nullptr ? kNoFieldCount : libmsi_record_get_field_count(fields);
}

bool LibmsiPackageDatabase::IsRecordNull(InstallerHandle record, std::uint32_t field)
{
    const auto* fields = objects_->Object<LibmsiRecord>(record, LIBMSI_TYPE_RECORD);
    return fields != nullptr && libmsi_record_is_null(fields, field);
}

WinResult LibmsiPackageDatabase::GetRecordString(InstallerHandle record, std::uint32_t field,
                                                 char16_t* buffer, std::uint32_t* count)
{
    auto* fields = objects_->Object<LibmsiRecord>(record, LIBMSI_TYPE_RECORD);
    if (fields == nullptr) return kInvalidHandle;
    // libmsi has no text for a stream field, and says so on stderr: ask it for a stream first.
    if (const Owned<GInputStream> stream{libmsi_record_get_stream(fields, field)}) return kInvalidDatatype;
    const GlibText text{libmsi_record_get_string(fields, field)};
    if (!text) return kFunctionFailed;
    return CopyTextOut(ToUtf16(text.get()), buffer, count);
}

WinResult LibmsiPackageDatabase::ReadRecordStream(InstallerHandle record, std::uint32_t field,
                                                  char* buffer, std::uint32_t* count)
{
    Opened* opened = objects_->Find(record, LIBMSI_TYPE_RECORD);
    if (opened == nullptr) return kInvalidHandle;
    auto* fields = reinterpret_cast<LibmsiRecord*>(opened->object.get());
    if (buffer == nullptr || count == nullptr || field > libmsi_record_get_field_count(fields))
        return kInvalidParameter;
    // As msi.dll, a null field reads as a stream of no bytes.
    if (libmsi_record_is_null(fields, field)) {
        *count = 0;
        return kSuccess;
    }
    Owned<GInputStream>& stream = opened->streams[field];
    if (!stream) stream.reset(libmsi_record_get_stream(fields, field));
    if (!stream) return kInvalidDatatype;
    ErrorSlot error;
    const gssize read = g_input_stream_read(stream.get(), buffer, *count, nullptr, error.Out());
    if (read < 0) return ResultOf(error.Get(), kFunctionFailed);
    *count = static_cast<std::uint32_t>(read);
    return kSuccess;
}

WinResult LibmsiPackageDatabase::GetSummaryString(InstallerHandle database, std::uint32_t property,
                                                  char16_t* buffer, std::uint32_t* count)
{
    auto* opened = objects_->Object<LibmsiDatabase>(database, LIBMSI_TYPE_DATABASE);
    if (opened == nullptr) return kInvalidHandle;
    if (property > LIBMSI_PROPERTY_SECURITY) return kUnknownProperty;
    ErrorSlot opening;
    const Owned<LibmsiSummaryInfo> summary{libmsi_summary_info_new(opened, 0, opening.Out())};
    if (!summary) return ResultOf(opening.Get(), kFunctionFailed);
    const auto id = static_cast<LibmsiProperty>(property);
    ErrorSlot typing;
    const LibmsiPropertyType type = libmsi_summary_info_get_property_type(summary.get(), id, typing.Out());
    if (typing.Get() != nullptr) return ResultOf(typing.Get(), kFunctionFailed);
    if (type == LIBMSI_PROPERTY_TYPE_EMPTY) return CopyTextOut(u"", buffer, count);
    if (type != LIBMSI_PROPERTY_TYPE_STRING) return kDatatypeMismatch;
    ErrorSlot reading;
    const gchar* text = libmsi_summary_info_get_string(summary.get(), id, reading.Out());
    if (text == nullptr) return ResultOf(reading.Get(), kFunctionFailed);
    return CopyTextOut(ToUtf16(text), buffer, count);
}

WinResult LibmsiPackageDatabase::CloseInstallerHandle(InstallerHandle handle)
{
    return objects_->opened.erase(handle) == 1 ? kSuccess : kInvalidHandle;
}

}  // namespace zarvo::libmsi
