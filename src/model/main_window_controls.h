#pragma once

// Every control of the main window, once, in a fixed order: X(name, kind).
// The list declares the model's members, registers them under their names
// (for binding and for focus), and tells the window which widget to create
// for each. Names are the window's own; a kind says which widget shows it.
// clang-format off
#define VTR8_MAIN_WINDOW_CONTROLS(X)                                                               \
    /* Window caption and the general controls. */                                                 \
    X(Caption, Window)                                                                             \
    X(Poslat, Button) /* "&Uložit vše do převodníku" */                                            \
    X(Precist, Button) /* "&Přečíst z převodníku" */                                               \
    X(Button1, Button) /* "Komunikace" */                                                          \
    X(Mereni, Button) /* "Měření" */                                                               \
    X(Informace, Button) /* "Informace" */                                                         \
    X(Label23, Label) /* "verze 16.0" */                                                           \
    X(Label13, Label) /* "č. firmware" */                                                          \
    X(Label14, Label) /* firmware number of the last transmitter identified, "0" */                \
    X(Label19, Label) /* "Přenos" */                                                               \
    X(Prenos, ProgressBar) /* progress of a multi-command operation, 0..100 */                     \
    X(PrenosByte, ProgressBar) /* progress of the current reply, 0..100 */                         \
    X(Konfigurace, Label) /* "Konfigurace" */                                                      \
    X(Label12, Label) /* "Konfigurace ze souboru" */                                               \
    X(Ulosoub, Button) /* "Uložit": save the configuration file */                                 \
    X(ctisoub, Button) /* "Přečíst": load a configuration file */                                  \
    /* Brand items; the brand profile (window code) sets them. */                                  \
    X(Label5, Label)                                                                               \
    X(IMAGE1, Image)                                                                               \
    X(Firma, Label)                                                                                \
    X(ButtonVE, Button)                                                                            \
    X(ButtonKA, Button)                                                                            \
                                                                                                   \
    /* Input type and the fields it shapes. */                                                     \
    X(LabelVstup, Label) /* "Vstup" */                                                             \
    X(Vstup, ComboBox)                                                                             \
    X(LabelPripCidl, Label) /* "Připojení čidla" */                                                \
    X(PripCidl, ComboBox)                                                                          \
    X(Label4, Label) /* range caption: "Měřicí rozsah", "... výstupu", "... po linearizaci" */     \
    X(LabelPocatek, Label) /* "Počátek" */                                                         \
    X(Pocatek, Edit)                                                                               \
    X(Label8, Label) /* unit beside the range start */                                             \
    X(LabelKonec, Label) /* "Konec" */                                                             \
    X(Konec, Edit)                                                                                 \
    X(Label9, Label) /* unit beside the range end */                                               \
    X(LabelLinearizace, Label) /* "Linearizace" */                                                 \
    X(Linearizace, ComboBox)                                                                       \
    X(LabelVolenaJednotka, Label) /* "Jednotka" */                                                 \
    X(VolenaJednotka, ComboBox)                                                                    \
    X(LabelTlumeni, Label) /* "Tlumení" */                                                         \
    X(Tlumeni, Edit)                                                                               \
    X(LabelTlumeniUnit, Label) /* "s" */                                                           \
    X(LabelChybProud, Label) /* "Chybový proud" */                                                 \
    X(ChybProud, ComboBox)                                                                         \
    X(LabelVzdStKon, Label) /* "Vzdálenost studeného konce termočlánku" */                         \
    X(VzdStKon, ComboBox)                                                                          \
    X(Label10, Label) /* "Zeslabení přídavným děličem napětí" */                                   \
    X(DelPomer, Edit)                                                                              \
    X(Label11, Label) /* "krát" */                                                                 \
    X(Label31, Label) /* "Snímací odpor při měř. proudu" */                                        \
    X(SnOdpor, Edit)                                                                               \
    X(Label32, Label) /* "Ohm" */                                                                  \
    X(LabelKorekcePV, Label) /* "Přídavný parazitní odpor čidla" */                                \
    X(korekcePV, Edit)                                                                             \
    X(LabelKorekcePVUnit, Label) /* "Ohm" */                                                       \
    X(Pcelkodpor, Label) /* caption of the total-value field, by input type */                     \
    X(CelkovyOdpor, Edit)                                                                          \
    X(Jcelkodpor, Label) /* unit of the total-value field */                                       \
    /* Zero and span adjustment; kept hidden, enabled state follows the window. */                 \
    X(Label18, Label) /* "Nastavení s referencí" */                                                \
    X(S_Dolmez, Button) /* "Nastavení dolní meze" */                                               \
    X(S_Hormez, Button) /* "Nastavení horní meze" */                                               \
                                                                                                   \
    /* Limit comparators. */                                                                       \
    X(PovolKompar1, CheckBox) /* check box "Povolení mezního komparátoru 1" */                     \
    X(EMezsep1, Edit)                                                                              \
    X(Label22, Label) /* unit beside EMezsep1 */                                                   \
    X(EMezroz1, Edit)                                                                              \
    X(Label24, Label) /* unit beside EMezroz1 */                                                   \
    X(EZpoSep1, Edit)                                                                              \
    X(EZpoRoz1, Edit)                                                                              \
    X(RezimRele1, ComboBox) /* "HYSTEREZE" or "OKNO" */                                            \
    X(Preckomp1, Button)                                                                           \
    X(Ulozkomp1, Button)                                                                           \
    X(PovolKompar2, CheckBox)                                                                      \
    X(EMezsep2, Edit)                                                                              \
    X(Label37, Label) /* unit beside EMezsep2 */                                                   \
    X(EMezroz2, Edit)                                                                              \
    X(Label38, Label) /* unit beside EMezroz2 */                                                   \
    X(Ezposep2, Edit)                                                                              \
    X(Ezporoz2, Edit)                                                                              \
    X(RezimRele2, ComboBox)                                                                        \
    X(Preckomp2, Button)                                                                           \
    X(Ulozkomp2, Button)                                                                           \
                                                                                                   \
    /* User note (at most 60 characters). */                                                       \
    X(LabelUzPozn, Label) /* "Uživatelská poznámka" */                                             \
    X(EditUzPozn, Edit)                                                                            \
    X(Prec_Pozn, Button)                                                                           \
    X(Uloz_Pozn, Button)

// The fields with an exit check: E(control, handler). The window runs the handler when the
// person leaves the field, and before any transfer or save that uses what the field shows.
#define VTR8_MAIN_WINDOW_FIELD_EXITS(E)                                                            \
    E(Vstup, VstupExit)                                                                            \
    E(Pocatek, PocatekExit)                                                                        \
    E(Konec, KonecExit)                                                                            \
    E(Tlumeni, TlumeniExit)                                                                        \
    E(ChybProud, ChybProudExit)                                                                    \
    E(VzdStKon, VzdStKonExit)                                                                      \
    E(SnOdpor, SnOdporExit)                                                                        \
    E(DelPomer, DelPomerExit)                                                                      \
    E(CelkovyOdpor, CelkovyOdporExit)                                                              \
    E(korekcePV, korekcePVExit)                                                                    \
    E(EMezsep1, EMezsep1Exit)                                                                      \
    E(EMezroz1, EMezroz1Exit)                                                                      \
    E(EZpoSep1, EZpoSep1Exit)                                                                      \
    E(EZpoRoz1, EZpoRoz1Exit)                                                                      \
    E(EMezsep2, EMezsep2Exit)                                                                      \
    E(EMezroz2, EMezroz2Exit)                                                                      \
    E(Ezposep2, Ezposep2Exit)                                                                      \
    E(Ezporoz2, Ezporoz2Exit)
// clang-format on
