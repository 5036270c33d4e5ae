#include "package_session.h"

namespace zarvo::check {
namespace {

constexpr StandardProperty kStandardFolders[] = {
    {u"WindowsVolume", u"C:\\"},
    {u"WindowsFolder", u"C:\\Windows\\"},
    // A 32-bit package's system folder on 64-bit Windows is the 32-bit one.
    {u"SystemFolder", u"C:\\Windows\\SysWOW64\\"},
    {u"System64Folder", u"C:\\Windows\\System32\\"},
    {u"ProgramFilesFolder", u"C:\\Program Files (x86)\\"},
    {u"ProgramFiles64Folder", u"C:\\Program Files\\"},
    {u"CommonFilesFolder", u"C:\\Program Files (x86)\\Common Files\\"},
    {u"CommonFiles64Folder", u"C:\\Program Files\\Common Files\\"},
    {u"TempFolder", u"C:\\Windows\\Temp\\"},
};

sim::SimTable SimTableOf(const Table& table)
{
    sim::SimTable sim;
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        sim.columns.push_back({table.columns[i], i < table.integer.size() && table.integer[i]});
    for (const std::vector<Field>& row : table.rows) {
        // The installer's rows are as wide as their table, whatever the package reader gave.
        std::vector<sim::SimField> fields(row.begin(), row.begin() + std::min(row.size(), sim.columns.size()));
        fields.resize(sim.columns.size());
        sim.rows.push_back(std::move(fields));
    }
    return sim;
}

}  // namespace

std::span<const StandardProperty> StandardFolders()
{
    return kStandardFolders;
}

std::shared_ptr<sim::SimDatabase> PackageDatabase(const Package& package)
{
    auto database = std::make_shared<sim::SimDatabase>();
    for (const auto& [name, table] : package.tables)
        if (table.present) database->tables.emplace(name, SimTableOf(table));
    return database;
}

InstallerHandle OpenPackageSession(const Package& package, sim::SimInstaller& installer)
{
    const InstallerHandle session = installer.OpenSession(PackageDatabase(package));
    for (const StandardProperty& folder : kStandardFolders)
        installer.SetPropertyValue(session, std::u16string(folder.name), std::u16string(folder.value));
    const Table& properties = package.TableNamed(u"Property");
    for (std::size_t row = 0; row < properties.rows.size(); ++row) {
        const Field name = properties.Get(row, u"Property");
        const Field value = properties.Get(row, u"Value");
        // The installer holds no property whose value is empty.
        if (name && !name->empty() && value && !value->empty()) installer.SetPropertyValue(session, *name, *value);
    }
    const Table& components = package.TableNamed(u"Component");
    for (std::size_t row = 0; row < components.rows.size(); ++row)
        if (const Field name = components.Get(row, u"Component")) installer.AddComponent(*name);
    return session;
}

}  // namespace zarvo::check
