// Statements of six, seven and eight words: one row per form and per failing step.
#include "Gen1TestSupport.h"

namespace kaso::compiler::test {
namespace {

TEST_F(Gen1Statements, SixWordsAddressCondition) {
    CheckAll({
        {"(#RDY,1=1)%X=%A+1", {}, false},
        {"(#5,1=1)%X=%A+1", {}, false},
        {"(#RDY,1=1)%X=XYZ+1", {0, 46}, true},
        {"(#RDY,1=1)%X=%A+XYZ", {46}, true},
        {"(#RDY,1=1)GOTO LOOP+1", {}, false, "(#RDY,1=1)GOTO3"},
        {"(#RDY,1=1)CALL XYZ 1", {28}, true},
        {"(#RDY,1=1)JOG 1 2", {0, 0, 46}, true},
        {"(#RDY,1=1)#INP,1=1", {}, false},
        {"(#RDY,1=1)#INP=INP 1", {}, false},
        {"(#RDY,1=1)#INP=XYZ 1", {46}, true},
        {"(#RDY,1=1)#WAIT 5=1", {}, false},
        {"(#RDY,1=1)#WAIT X=1", {46}, true},
        {"(#RDY,1=1)#5,1=1", {}, false},
        {"(#RDY,1=1)#JOG,1=1", {46}, true},
        {"(#RDY=1)JOG 1 2 3", {44}, true},
        {"(#RDY,1=X)JOG 1 2", {44}, true},
        {"(#RDY,1)1 JOG 1 2", {43}, true},
        {"(#RDY,1=1 JOG 1 2", {43}, true},
        {"(#1F=FF)GOTO LOOP 1 2", {}, false},
        {"(#1F=XYZ)GOTO LOOP 1 2", {44}, true},
        {"(#1F=FF)JOG LOOP 1 2", {46}, true},
        {"(#1F=FF)CALL XYZ 1 2", {28}, true},
        {"(#1F=FF GOTO LOOP 1 2", {45}, true},
        {"(#WAIT=%A)GOTO LOOP 1 2", {}, false},
        {"(#WAIT=5)GOTO LOOP 1 2", {46}, true},
        {"(#XYZ=1)JOG 1 2 3", {0, 0, 0, 44}, true},
    });
}

TEST_F(Gen1Statements, SixWordsOtherConditions) {
    CheckAll({
        {"(OUT0=1)GOTO LOOP 1 2", {}, false},
        {"(OUT0=1)JOG LOOP 1 2", {46}, true},
        {"(OUT0=X)GOTO LOOP 1 2", {44}, true},
        {"(OUT0)GOTO LOOP 1 2 3", {43}, true},
        {"(%A=RDY)GOTO LOOP 1 2", {}, false},
        {"(%A=WAIT)GOTO LOOP 1 2", {}, false},
        {"(%A=RDY)GOTO XYZ 1 2", {28}, true},
        {"(%A=5)LOOP JOG 1 2", {}, false},
        {"(%A=5)XYZ JOG 1 2", {43}, true},
        {"(%A=5,1)%X,1 2", {}, false},
        {"(%A=5,1)#INP,1=1", {}, false},
        {"(%A=5,1)#INP,1=X", {46}, true},
        {"(%A=5,1)JOG 1 2", {0, 46}, true},
        {"(%A=XYZ)JOG 1 2 3", {0, 0, 44}, true},
        {"(XYZ=1)JOG 1 2 3", {0, 0, 44}, true},
        {"(%A)5 GOTO LOOP 1 2", {43}, true},
    });
}

TEST_F(Gen1Statements, SevenAndEightWords) {
    CheckAll({
        {"(#RDY,1=1)GOTO LOOP 1 2", {}, false},
        {"(#RDY=1)GOTO LOOP 1 2 3", {44}, true},
        {"(#RDY,1=1)JOG LOOP 1 2", {46}, true},
        {"(#RDY,1=1)CALL XYZ 1 2", {28}, true},
        {"(#RDY,1)1 GOTO LOOP 1 2", {43}, true},
        {"(#RDY,1=1 GOTO LOOP 1 2", {45}, true},
        {"()A B C D E F G H", {}, false, "()ABCDEFGH"}, // eight words pass unchecked
    });
}

} // namespace
} // namespace kaso::compiler::test
