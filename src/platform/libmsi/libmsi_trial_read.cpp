#include "platform/libmsi/libmsi_trial_read.h"

#include <fcntl.h>
#include <libmsi.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/libmsi/libmsi_object.h"

namespace zarvo::libmsi {
namespace {

constexpr int kReadThroughExit = 0;
constexpr int kNotOpenedExit = 3;

void ReadSummary(LibmsiDatabase* database)
{
    const Owned<LibmsiSummaryInfo> summary{libmsi_summary_info_new(database, 0, nullptr)};
    if (!summary) return;
    for (int property = LIBMSI_PROPERTY_DICTIONARY; property <= LIBMSI_PROPERTY_SECURITY; ++property) {
        const auto id = static_cast<LibmsiProperty>(property);
        if (libmsi_summary_info_get_property_type(summary.get(), id, nullptr) == LIBMSI_PROPERTY_TYPE_STRING)
            libmsi_summary_info_get_string(summary.get(), id, nullptr);
    }
}

// Executes the view and hands each of its rows to the caller's function.
template <typename RowCall>
void ForEachRow(LibmsiQuery* view, RowCall call)
{
    if (!libmsi_query_execute(view, nullptr, nullptr)) return;
    while (const Owned<LibmsiRecord> record{libmsi_query_fetch(view, nullptr)}) call(record.get());
}

std::vector<std::string> TableNames(LibmsiDatabase* database)
{
    std::vector<std::string> names;
    const Owned<LibmsiQuery> view{libmsi_query_new(database, "SELECT `Name` FROM `_Tables`", nullptr)};
    if (!view) return names;
    ForEachRow(view.get(), [&](LibmsiRecord* record) {
        if (const GlibText name{libmsi_record_get_string(record, 1)}) names.emplace_back(name.get());
    });
    return names;
}

void ReadStream(GInputStream* stream)
{
    std::array<char, 65536> piece;
    while (g_input_stream_read(stream, piece.data(), piece.size(), nullptr, nullptr) > 0) {}
}

void ReadField(LibmsiRecord* record, guint field)
{
    if (libmsi_record_is_null(record, field)) return;
    if (const Owned<GInputStream> stream{libmsi_record_get_stream(record, field)})
        ReadStream(stream.get());
    else
        g_free(libmsi_record_get_string(record, field));
}

void ReadTable(LibmsiDatabase* database, const std::string& table)
{
    libmsi_database_is_table_persistent(database, table.c_str(), nullptr);
    const std::string query = "SELECT * FROM `" + table + "`";
    const Owned<LibmsiQuery> view{libmsi_query_new(database, query.c_str(), nullptr)};
    if (!view) return;
    for (const LibmsiColInfo kind : {LIBMSI_COL_INFO_NAMES, LIBMSI_COL_INFO_TYPES})
        if (LibmsiRecord* columns = libmsi_query_get_column_info(view.get(), kind, nullptr))
            g_object_unref(columns);
    ForEachRow(view.get(), [](LibmsiRecord* record) {
        for (guint field = 0; field <= libmsi_record_get_field_count(record); ++field) ReadField(record, field);
    });
}

// The child's end: what libmsi writes while it reads a damaged file is of no use to anyone.
[[noreturn]] void RunChild(const char* path)
{
    const int nothing = open("/dev/null", O_WRONLY);
    if (nothing >= 0) dup2(nothing, STDERR_FILENO);
    _exit(ReadWholePackage(path) ? kReadThroughExit : kNotOpenedExit);
}

TrialOutcome AwaitChild(pid_t child)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kTrialSeconds);
    int status = 0;
    for (;;) {
        const pid_t ended = waitpid(child, &status, WNOHANG);
        if (ended == child) break;
        if (ended < 0 && errno != EINTR) return TrialOutcome::NotRun;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return TrialOutcome::Damaged;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!WIFEXITED(status)) return TrialOutcome::Damaged;
    if (WEXITSTATUS(status) == kReadThroughExit) return TrialOutcome::ReadThrough;
    return WEXITSTATUS(status) == kNotOpenedExit ? TrialOutcome::NotOpened : TrialOutcome::Damaged;
}

}  // namespace

bool ReadWholePackage(const char* path)
{
    const Owned<LibmsiDatabase> database{
        libmsi_database_new(path, LIBMSI_DB_FLAGS_READONLY, nullptr, nullptr)};
    if (!database) return false;
    ReadSummary(database.get());
    for (const std::string& table : TableNames(database.get())) ReadTable(database.get(), table);
    return true;
}

TrialOutcome TrialRead(const char* path)
{
    const pid_t child = fork();
    if (child < 0) return TrialOutcome::NotRun;
    if (child == 0) RunChild(path);
    return AwaitChild(child);
}

}  // namespace zarvo::libmsi
