CREATE TABLE `Prerequisites` (`Type` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL,
    `Destination` CHAR(255), `ValueName` CHAR(255), `Value` CHAR(72), `Component_` CHAR(72),
    `Order` SHORT NOT NULL
    PRIMARY KEY `Type`, `Name`);
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (30, 'checkfileversion', 'Windows Installer 99.0 or later',
    '[SystemFolder]msi.dll', 'fileversion', '99.0');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (20, 'CheckRegistryVersion', 'Windows XP or later',
    'key_wow64_64key:SOFTWARE\Microsoft\Windows NT\CurrentVersion', 'CurrentVersion', '5.1');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (10, 'CheckRegistryVersion', 'Zarvo Runtime 2.0 or later',
    'SOFTWARE\Zarvo\Runtime', 'Version', '2.0');
INSERT INTO `Prerequisites` (`Order`, `Type`, `Name`, `Destination`, `ValueName`, `Value`)
    VALUES (40, 'CheckProductState', 'Zarvo Tools installed',
    '{6F1C2D3E-4A5B-4C6D-8E7F-90A1B2C3D4E5}', 'ValueGreaterThanOrEqualTo', '5');
