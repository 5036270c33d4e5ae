# The one list of the exported actions. The module definition, the export functions and
# the DLL file check are made from it; a native test holds the action table to it.
set(ZARVO_ACTIONS
    ChangeElementsFromPrerequisites
    CheckPrerequisites
    CloseWindowByGUID
    IsFrameworkInstalled
    NetFrameworkInstall
    RunCmdFile
    RunForegroundProgram
    SetDateTimeProperty
    SetupSubstFiles
    SetupSubstXmlFiles
    UpdateVS71VszFile
)
