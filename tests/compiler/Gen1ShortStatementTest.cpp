// Statements of one, two and three words and the lines without condition: one row per form and
// per failing step, each with the slots, mark and listing messages it must leave.
#include "Gen1TestSupport.h"

namespace kaso::compiler::test {
namespace {

TEST_F(Gen1Statements, OneWord) {
    CheckAll({
        {"()JOG", {}, false},
        {"(=)JOG", {43}, true}, // the same word after a filled condition
        {"()SVON", {}, false},
        {"()MOV", {}, false},
        {"()WAIT20", {}, false},
        {"()GOTOLOOP", {}, false, "()GOTO2"},
        {"()GOTONOPE", {46}, true},
        {"()WAITNOPE", {43}, true}, // a label without any jump keyword
        {"()H1F2A", {}, false},
        {"()12345", {}, false},
        {"()1234H", {46}, true},
        {"()ABCDE@", {}, false},
        {"()ABCXYZ@", {46}, true},
        {"()ABCXYZ", {46}, true},
        {"()ABCDEF", {}, false}, // holds "DEF": defines the name "DEF"
        {"()#RDY", {}, false},
        {"()#!RDY", {}, false},    // a leading '!' is looked up without it
        {"()#!RDYXX", {46}, true}, // and cut to four characters
        {"()!ZSP", {}, false},     // rewritten in place: a status word
        {"()!ABCD", {}, false},    // and, to the later tests, a hex operand
        {"()!ABCDE", {}, false},   // of four characters
        {"()#1F", {}, false},
        {"()#QQ", {46}, true},
        {"()%A", {}, false},
        {"()%Q", {46}, true},
        {"()SPD", {}, false},
        {"()OUT0", {}, false},
        {"()SPD#$", {46}, true}, // with an address form the word must be a hex operand
        {"()1F#$", {}, false},
        {"()X", {}, false},   // part of the name %X
        {"()X#$", {}, false}, // and the name still withdraws the mark
        {"()QQ", {46}, true},
        {"()DEF%Q", {}, false},
        {"(#$RDY)", {43}, true}, // the condition is not empty
    });
}

TEST_F(Gen1Statements, LinesWithoutCondition) {
    CheckAll({
        {"MBON", {}, false},
        {"MBONX", {}, false}, // only the first four characters count
        {"MBCL", {}, false},
        {"DEF%Q", {}, false},
        {"DEF %Q", {}, false},
        {"JOG", {43}, true},
        {"JOG POS", {43}, true},
    });
}

TEST_F(Gen1Statements, TwoWordsAddressCondition) {
    CheckAll({
        {"(#RDY=1)", {}, false},
        {"(#$RDY=1)", {}, false},
        {"(#RDY)5", {43}, true},
        {"(#RDY=X)", {44}, true},
        {"(#RDY=1", {43}, true},
        {"(#1F=5)", {}, false},
        {"(#1F=FF)", {}, false},
        {"(#1F=5", {43}, true},
        {"(#1F=ZZ)", {0, 44}, true},
        {"(#1F)ZZ", {0, 45}, true},
        {"(#WAIT=5)", {}, false},
        {"(#WAIT=X)", {44}, true},
        {"(#WAIT)5", {43}, true},
        {"(#WAIT=5", {45}, true},
        {"(#XYZ=5)", {0, 0, 44}, true},
    });
}

TEST_F(Gen1Statements, TwoWordsOtherConditions) {
    CheckAll({
        {"(OUT0=1)", {}, false},
        {"(OUT0=X)", {44}, true},
        {"(OUT0)X", {43}, true},
        {"()OUT0=1", {}, false},
        {"()OUT0 1", {45}, true},
        {"()OUT0=X", {46}, true},
        {"()SPD=100", {}, false},
        {"()SPD=%A", {}, false},
        {"()SPD=%Q", {0, 26}, true},
        {"()SPD=XYZ", {0, 46}, true},
        {"()SPD 100", {45}, true},
        {"()JOG=POS", {}, false},
        {"()JOG=XYZ", {46}, true},
        {"()JOG POS", {45}, true},
        {"()GOTO LOOP", {}, false, "()GOTO2"},
        {"()GOTO L5", {}, false, "()GOTOL5"},
        {"()GOTO NOPE", {28}, true},
        {"()WAIT 20", {}, false},
        {"()WAIT %", {}, false},
        {"()WAIT NOPE", {43}, true},
        {"()WAIT=20", {}, false},
        {"()WAIT=%A", {}, false},
        {"()WAIT=XYZ", {0, 46}, true},
        {"(=)GOTO LOOP", {45}, true},
        {"(=)WAIT 5", {45}, true},
        {"(=)WAIT XYZ", {45, 44}, true},
        {"(GOTO LOOP", {45}, true},
        {"()WAIT20 X", {}, false},
        {"()WAITXY Z", {44}, true},
        {"(%A=5)", {}, false},
        {"(%A)5", {43}, true},
        {"(QQ=5)", {44}, true},
        {"(%A=#RDY)", {}, false},
        {"(%A=#WAIT)", {}, false},
        {"(%A=#XYZ)", {0, 44}, true},
        {"(%A=%X)", {}, false},
        {"(%A=XYZ)", {0, 0, 26}, true},
        {"(%A=5", {45}, true},
    });
}

TEST_F(Gen1Statements, TwoWordsAfterEmptyCondition) {
    CheckAll({
        {"()RDY=#5", {}, false},
        {"()RDY=#XYZ", {0, 46}, true},
        {"()#RDY 5", {45}, true},
        {"()#1F=5", {}, false},
        {"()#1F=ZZZ", {0, 0, 0, 0, 46}, true},
        {"()#1F,5", {}, false},
        {"()#1F 5", {0, 46}, true},
        {"()%A=#RDY", {}, false},
        {"()%A=#XYZ", {46}, true},
        {"()#XYZ=1", {0, 0, 46}, true},
        {"()DEF %Q", {}, false},
        {"()%A=%X", {}, false},
        {"()%A=5", {}, false},
        {"()%A=LOOP", {}, false, "()%A=2"},
        {"()%A=XYZ", {0, 0, 0, 0, 46}, true},
        {"()%A %X", {45}, true},
        {"()XYZ=1", {0, 46}, true},
        {"()**BC=5", {}, false},
        {"()*BC=5", {0, 46}, true}, // a "%%" name is starred twice
        {"()*A=5", {}, false},
        {"()*A=QQ", {0, 0, 0, 0, 46}, true}, // only the starred word is the variable
    });
}

TEST_F(Gen1Statements, ThreeWordsWithoutAddressCondition) {
    CheckAll({
        {"(OUT0=1)JOG", {}, false},
        {"(OUT0=1)WAIT", {}, false},
        {"(OUT0=1)WAIT20", {}, false},
        {"(OUT0=1)WAITX", {44}, true},
        {"(OUT0=1)SVON", {}, false},
        {"(OUT0=1)ABCDE@", {}, false},
        {"(OUT0=1)ABCDEF@", {46}, true},
        {"(OUT0=1)!!!", {}, false},
        {"(OUT0=1)XYZ", {0, 0, 0, 46}, true},
        {"(OUT0)1 JOG", {43}, true},
        {"(OUT0=X)JOG", {44}, true},
        {"(OUT0=1 JOG", {43}, true},
        {"()%A=%X+1", {}, false},
        {"()%A=5 AND", {}, false},
        {"()%A=LOOP+1", {}, false, "()%A=3"},
        {"()%A=%Q+1", {26}, true},
        {"()%A=XYZ+1", {46}, true},
        {"()%A=%X+XYZ", {46}, true},
        {"()%A=%X+%Q", {46}, true},
        {"()%A,1 2", {46}, true},
        {"()%A 1 2", {0, 46}, true},
        {"()%Q=1 2", {0, 26}, true},
        {"()RDY,1=#1", {}, false},
        {"()RDY=#INP 1", {}, false},
        {"()RDY+#INP 1", {0, 45}, true},
        {"()RDY=#INP X", {46}, true},
        {"()WAIT=#MOV 5", {}, false},
        {"()WAIT=#MOV X", {0, 46}, true},
        {"()WAIT=#5 %A", {}, false},
        {"()WAIT=#5 X", {46}, true},
        {"()WAIT+#5 1", {45}, true},
        {"()5,1=#1", {}, false},
        {"()5=#1 2", {}, false},
        {"()5+#1 2", {0, 45}, true},
        {"()XYZ=#1 2", {0, 0, 46}, true},
        {"()GOTO LOOP+1", {}, false, "()GOTO3"},
        {"()CALL NOPE 1", {28}, true},
        {"()WAIT NOPE 1", {43}, true},
        {"()SPD=%A 1", {}, false},
        {"()SPD=5 1", {46}, true},
        {"()SPD %A 1", {45}, true},
        {"()JOG POS ABS", {0, 0, 0, 0, 46}, true},
        {"(%A=1 JOG", {0, 0, 43}, true},
    });
}

TEST_F(Gen1Statements, ThreeWordsVariableCondition) {
    CheckAll({
        {"(%A=5)JOG", {}, false},
        {"(%A=5)WAIT", {}, false},
        {"(%A=5)XYZ@", {}, false},
        {"(%A=5)XYZABC@", {46}, true},
        {"(%A=5,1)", {}, false},
        {"(%A=5)7", {46}, true},
        {"(%A=5)LOOP", {}, false, "(%A=5)2"},
        {"(%A=5)GOTOX", {46}, true},
        {"(%A=5)XYZ", {43}, true},
        {"(%A=RDY)5", {}, false},
        {"(%A=RDY)XYZABC@", {46}, true},
        {"(%A=#WAIT)5", {}, false},
        {"(%A=#5)JOG", {}, false},
        {"(%A=#5)XYZ", {44}, true},
        {"(%A=#XYZ)JOG", {0, 44}, true},
        {"(%A=%X)JOG", {}, false},
        {"(%A=%X)XYZ", {44}, true},
        {"(%A=XYZ)JOG", {44}, true},
        {"(%A)5 JOG", {43}, true},
        {"(XYZ=1)JOG", {}, false}, // a condition word of no class is not looked at further
        {"(%Q=1)JOG", {26}, true},
    });
}

TEST_F(Gen1Statements, ThreeWordsAddressCondition) {
    CheckAll({
        {"(#RDY,1=1)", {}, false},
        {"(#RDY,X,=1)", {44}, true},
        {"(#RDY=1)JOG", {}, false},
        {"(#!RDY=1)JOG", {}, false},
        {"(#!RDY=1)!!!", {0, 0, 0, 0, 44}, true}, // with "!!!" the '!' stays
        {"(#RDY=1)LOOP", {}, false, "(#RDY=1)2"},
        {"(#RDY=1)NOPE", {43}, true},
        {"(#RDY=1)GOTOX", {28}, true},
        {"(#RDY=1)5@", {}, false},
        {"(#RDY=1)XYZ@", {46}, true},
        {"(#RDY)1 JOG", {0, 43}, true},
        {"(#RDY=X)JOG", {44}, true},
        {"(#WAIT=1)JOG", {}, false},
        {"(#WAIT=1)WAIT20", {}, false},
        {"(#WAIT=1)WAITX", {44}, true},
        {"(#WAIT=1)XYZABC@", {46}, true},
        {"(#WAIT=1)XYZ", {0, 0, 44}, true},
        {"(#%A=WAIT)X@", {}, false},
        {"(#%A=WAIT)X", {44}, true},
        {"(#%A=5)X@", {44}, true},
        {"(#5=RDY)WAIT", {}, false},
        {"(#5=RDY)LOOP", {}, false, "(#5=RDY)2"},
        {"(#5=RDY)XYZ", {0, 28}, true},
        {"(#5=1)JOG", {}, false},
        {"(#5=1)XYZ", {44}, true},
        {"(#5=1)XY@", {}, false},
        {"(#5=1)XYZABC@", {46}, true},
        {"(#5=X)JOG", {0, 44}, true},
        {"(#5)1 JOG", {0, 43}, true},
        {"(#5,1=1)", {}, false},
        {"(#1F=1)SVON", {}, false},
        {"(#1F=1)JOG", {44}, true},
        {"(#1F=1)XY@", {}, false},
        {"(#1F=1)XYZABC@", {0, 46}, true},
        {"(#XYZ=1)JOG", {0, 0, 0, 0, 44}, true},
    });
}

TEST_F(Gen1Statements, SequencePart) {
    CheckAll(
        {
            {"[]JOG", {}, false},
            {"[#RDY=1]JOG", {}, false},
            {"+[#RDY=1]JOG", {}, false},
            {"_()JOG", {43}, true},
            {"[%A=5]GOTO LOOP", {}, false},
        },
        true);
}

} // namespace
} // namespace kaso::compiler::test
