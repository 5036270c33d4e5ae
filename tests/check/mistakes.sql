CREATE TABLE `Prerequisites` (`Type` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL,
    `Destination` CHAR(255), `ValueName` CHAR(255), `Value` CHAR(72), `Component_` CHAR(72),
    `Order` SHORT NOT NULL
    PRIMARY KEY `Type`, `Name`);
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (10, 'CheckFileVersoin', 'Windows Installer 3.1 or later',
    '[SystemFolder]msi.dll', 'FileVersion', '3.1');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (20, 'CheckRegistryVersion', 'Zarvo Runtime 2.0 or later',
    'SOFTWARE\Zarvo\Runtime', 'Version', 'v2.0');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (30, 'CheckFileVersion', 'Zarvo Help 1.0 or later',
    '[SystemFolder]zarvohelp.dll', 'Version', '1.0');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (40, 'CheckProductState', 'Zarvo Tools installed',
    '{6F1C2D3E-4A5B-4C6D-8E7F-90A1B2C3D4E5}', 'ValueGreaterThan', '5');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (50, 'CheckInstanceProductState', 'No older Zarvo Mistakes instance installed',
    'key_wow64_32key:SOFTWARE\Zarvo\Mistakes', 'ProductCode', '5');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (60, 'CheckFileVersionDisableComponent', 'Redis',
    '[SystemFolder]msi.dll', 'FileVersion', '3.1');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (70, 'CheckRegistryVersion', 'Zarvo Runtime key',
    'HKLM\SOFTWARE\Zarvo\Runtime', 'Version', '2.0');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (80, 'CheckRegistryDWord', 'Zarvo Runtime build 16 or later',
    'SOFTWARE\Zarvo\Runtime', 'Build', '0x10');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (90, 'CheckProductState', 'Zarvo Tools 2 installed',
    'Zarvo Tools', 'ValueGreaterThanOrEqualTo', '5');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (20, 'CheckRegistryVersion', 'Windows 7 or later',
    'SOFTWARE\Microsoft\Windows NT\CurrentVersion', 'CurrentVersion', '6.1');
