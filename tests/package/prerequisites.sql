CREATE TABLE `Prerequisites` (`Type` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL,
    `Destination` CHAR(255), `ValueName` CHAR(255), `Value` CHAR(72), `Component_` CHAR(72),
    `Order` SHORT NOT NULL
    PRIMARY KEY `Type`, `Name`);
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (10, 'CheckRegistryVersion', 'Windows XP or later',
    'key_wow64_64key:SOFTWARE\Microsoft\Windows NT\CurrentVersion', 'CurrentVersion', '5.1');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (20, 'CheckRegistryDWord', 'Windows installed after September 2001',
    'key_wow64_32key:SOFTWARE\Microsoft\Windows NT\CurrentVersion', 'InstallDate', '1000000000');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (30, 'CheckFileVersion', 'Windows Installer 3.1 or later',
    '[SystemFolder]msi.dll', 'FileVersion', '3.1');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (40, 'CheckInstanceProductState', 'No older Zarvo Demo instance installed',
    'SOFTWARE\Zarvo\Demo', 'ProductCode', '5');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (50, 'CheckFileVersionDisableComponent', 'Redist',
    '[SystemFolder]msi.dll', 'FileVersion', '3.1');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (60, 'CheckVersionDisableComponent', 'LegacyShim',
    'KEY_WOW64_64KEY:SOFTWARE\Microsoft\Windows NT\CurrentVersion', 'CurrentVersion', '6.0');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (70, 'CheckFileVersionDisableComponent', 'Manual',
    '[SystemFolder]zarvohelp.dll', 'FileVersion', '1.0');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (80, 'checkversionsetproperty', 'ZARVO_RUNTIME_MISSING',
    'SOFTWARE\Zarvo\Runtime', 'Version', '2.0');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (90, 'CheckVersionSetProperty', 'WINDOWS_BEFORE_XP',
    'SOFTWARE\Microsoft\Windows NT\CurrentVersion', 'CurrentVersion', '5.1');
