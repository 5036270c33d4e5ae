# Sourced by package-test.sh: the sample package's process and window actions.
# CloseWindowByGUID closes the window of a program that the test starts before the
# installation: the test helper, with a window titled with the package's GUID.
# RunCmdFile writes post-install.log at installation and deletes it at removal.
# RunForegroundProgram starts the installed agent (the helper again) once the product is
# installed, which writes agent-started.txt beside the package.
agent_title='{0B5F6C2E-7A41-4D3B-9E8C-51A2F4D7C690}'
note_pattern='^Zarvo Demo installed in C:\\Program Files( \(x86\))?\\ZarvoDemo\\$'

# Starts the agent and waits until it is about to put its window up: the helper writes
# agent-up first, and the installation reaches CloseWindowByGUID seconds later.
start_agent() {
    rm -f agent-up agent-started.txt
    wine "$helper" write "$(winepath -w "$PWD/agent-up")" up window "$agent_title" &
    agent_pid=$!
    for _ in $(seq 200); do [ -f agent-up ] && return; sleep 0.1; done
    fail "the agent did not start"
}

# The agent ends once its window is closed; waits a few seconds for that.
agent_ended() {
    for _ in $(seq 50); do kill -0 "$agent_pid" 2>/dev/null || return 0; sleep 0.1; done
    return 1
}

report_processes() {
    if agent_ended; then agent_state=closed; else agent_state="still open"; fi
    echo "CloseWindowByGUID: the agent's window $agent_title is $agent_state"
    local note
    note=$(installed_file post-install.log)
    note_text=$([ -z "$note" ] || tr -d '\r' <"$note")
    if [ -n "$note" ]; then
        echo "RunCmdFile: the installation's command wrote post-install.log: $note_text"
    else
        echo "RunCmdFile: the installation's command wrote no post-install.log"
    fi
    started_text=$(cat agent-started.txt 2>/dev/null)
    if [ -f agent-started.txt ]; then
        echo "RunForegroundProgram: the installed agent ran and wrote agent-started.txt: $started_text"
    else
        echo "RunForegroundProgram: the installed agent wrote no agent-started.txt"
    fi
}

check_processes() {
    [ "$agent_state" == closed ] || fail "CloseWindowByGUID left the agent's window open"
    [[ $note_text =~ $note_pattern ]] || fail "post-install.log reads '$note_text'"
    [ "$started_text" == started ] || fail "the agent that RunForegroundProgram starts wrote '$started_text'"
}

check_note_removed() {
    [ -z "$(installed_file post-install.log)" ] || fail "post-install.log is still there after uninstalling"
}
