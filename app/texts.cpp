// Texts of the Info box and of the refusal messages.
#include "texts.h"

#include "engine/engine.h"

const char aboutText[] =
    "\xdc"
    "bertragungsprogramm VELMORA fuer Windows\n"
    "Ein Rechenhilfsmittel f\xfcr gerade Tr\xe4ger und Wellen\n"
    "nach dem Reduktionsverfahren mit \xdc"
    "bertragungsmatrizen\n"
    "Fassung 1.0\n"
    "Alle Rechte vorbehalten.\n"
    "\n"
    "Anleitung vgl. VELMORA.PDF\n"
    "\n"
    "Der Rechenweg folgt dem klassischen Verfahren\n"
    "der Zustandsgr\xf6\xdf"
    "en w, psi, M und Q.";

const char* refusalText(int32_t refusal) {
    switch (refusal) {
        case refusalFactorListFull:
            return "Diese Bedingung wird nicht \xfc"
                   "bernommen.\n"
                   "Ein Tr\xe4ger hat h\xf6"
                   "chstens f\xfcnf Bedingungen (Lager, Gelenke und rechtes "
                   "Tr\xe4gerende zusammen); die Faktorliste R20 bis R30 ist voll.\n"
                   "Mit F1 beginnt ein neuer Tr\xe4ger.";
        case refusalEvaluationPastBank:
            return "Berechnung an dieser Stelle nicht m\xf6glich.\n"
                   "Nach f\xfcnf Bedingungen l\xe4ge das Faktorpaar der n\xe4"
                   "chsten Bedingung hinter dem Register R30.\n"
                   "Es wird nichts ausgegeben.";
        case refusalPairOnWorkingRegisters:
            return "Diese Bedingung wird nicht \xfc"
                   "bernommen.\n"
                   "Ohne linkes Tr\xe4gerende (F1) l\xe4ge ihr Faktorpaar auf den Registern R14 "
                   "und R15, mit denen die Bedingung selbst rechnet.\n"
                   "Mit F1 beginnt ein Tr\xe4ger.";
        case refusalBadRow:
            return "Ung\xfcltige Zeilennummer: die Eingabe wird nicht \xfc"
                   "bernommen.";
        default:
            return nullptr;
    }
}
