' The add-in used from a script, as a macro uses it: created by program
' identifier, members set and read by name, GetFromINI and AddToINI called by
' name. Argument 0 is the settings file to use.
'
' The script host under Wine swallows run-time errors and exits with 0, so the
' script counts its own failures, prints a marker line at the very end and
' quits with the count: a missing marker means the script stopped early.
Option Explicit

Dim failures
failures = 0

Sub Check(ok, what)
  If Not ok Then
    failures = failures + 1
    WScript.Echo "FAILED " & what
  End If
End Sub

Dim iniFile
iniFile = WScript.Arguments(0)

Dim addin
Set addin = CreateObject("Vantelo.clsVantelo")

' A fresh object holds False, 0 and empty texts.
Check addin.EnableTimeStamp = False, "EnableTimeStamp starts False"
Check addin.Decimals = 0, "Decimals starts 0"
Check addin.TotalMassUnit = "", "TotalMassUnit starts empty"

' Members set and read back.
addin.TotalMassUnit = "kg"
Check addin.TotalMassUnit = "kg", "TotalMassUnit reads back"
addin.MassColumnName = "Mass [kg]"
Check addin.MassColumnName = "Mass [kg]", "texts read back"
addin.SuppressError = True
Check addin.SuppressError = True, "SuppressError reads back True"
Check CInt(addin.SuppressError) = -1, "True is all bits set"
addin.Decimals = 3
Check addin.Decimals = 3, "Decimals reads back"
addin.SpaceBeforeMassUnit = "7"
Check addin.SpaceBeforeMassUnit = 7, "a number in text is converted"
Check TypeName(addin.SpaceBeforeMassUnit) = "Integer", "Integer members are 16-bit"

' A value out of the 16-bit range is refused and the old value kept.
On Error Resume Next
addin.Decimals = 40000
Check Err.Number <> 0, "40000 is refused"
Err.Clear
On Error GoTo 0
Check addin.Decimals = 3, "the old value is kept"

' The settings file, with literals and parenthesised variables.
Check addin.AddToINI("Global Options", "EnableTimeStamp", "True", (iniFile)) = True, "AddToINI writes"
Check addin.GetFromINI("global options", "enabletimestamp", "False", (iniFile)) = "True", "GetFromINI reads"
Check TypeName(addin.GetFromINI("Global Options", "EnableTimeStamp", "", (iniFile))) = "String", "GetFromINI gives a String"
Check addin.GetFromINI("View Scale Options", "ListSparator", "X:Y", (iniFile)) = "X:Y", "a missing key gives the default"
Check addin.GetFromINI("View Scale Options", "ListSparator", "", (iniFile)) = "X:Y", "and writes it"
Check addin.AddToINI("S", "K", "V", (iniFile) & "\no such directory\x.ini") = False, "an unwritable file gives False"

' A plain variable passed to a by-reference text argument is a type mismatch
' in a script (a parenthesised one, as above, is not).
Dim section
section = "Global Options"
On Error Resume Next
Dim value
value = addin.GetFromINI(section, "EnableTimeStamp", "", (iniFile))
Check Err.Number = 13, "a variable by reference is a type mismatch (" & Err.Number & ")"
Err.Clear
On Error GoTo 0

Set addin = Nothing
WScript.Echo "VANTELO-VBSCRIPT-DONE failures=" & failures
WScript.Quit failures
