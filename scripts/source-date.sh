# Sourced by the build scripts, with $root set: whatever the machine's clock, locale and time
# zone, the same commit builds the same bytes. The time stamped into the DLL and given to
# the archive's files is the commit's, or the SOURCE_DATE_EPOCH given.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 0)}
export LC_ALL=C TZ=UTC
