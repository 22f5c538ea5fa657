// Statements of five words: one row per form of each block and per failing step.
#include "Gen1TestSupport.h"

namespace kaso::compiler::test {
namespace {

TEST_F(Gen1Statements, FiveWordsMailboxCondition) {
    CheckAll({
        {"(#WAIT=1)%X=%A 5", {}, false},
        {"(#WAIT=1)%X=%A+%A", {46}, true},
        {"(#WAIT=1)%X=%A %Q", {26}, true},
        {"(#WAIT=1)%X=%A+LOOP", {}, false, "(#WAIT=1)%X=%A+2"},
        {"(#WAIT=1)%X=%A+XYZ", {46}, true},
        {"(#WAIT=1)%X=%Q+1", {26}, true},
        {"(#WAIT=1)%X=5+LOOP", {}, false, "(#WAIT=1)%X=7"},
        {"(#WAIT=1)%X=5+XYZ", {43}, true},
        {"(#WAIT=1)%X=LOOP+1", {}, false, "(#WAIT=1)%X=3"},
        {"(#WAIT=1)%X=XYZ+1", {43}, true},
        {"(#WAIT=1)%Q=1 2", {26}, true},
        {"(#WAIT=1)JOG 1 2", {}, false}, // words 4 and 5 are not looked at
        {"(#WAIT=%A)GOTO LOOP+1", {}, false, "(#WAIT=%A)GOTO3"},
        {"(#WAIT=%A)GOTO XYZ 1", {28}, true},
        {"(#WAIT=%A)JOG 1 2", {44}, true},
        {"(#WAIT=XYZ)JOG 1 2", {0, 44}, true},
        {"(#WAIT=1 %X=1 2", {45}, true},
        {"(#WAIT)%X=1 2 3", {43}, true},
    });
}

TEST_F(Gen1Statements, FiveWordsHexCondition) {
    CheckAll({
        {"(#1F,1=1)WAIT 5", {}, false},         {"(#1F,1=1)GOTO LOOP", {}, false, "(#1F,1=1)GOTO2"},
        {"(#1F,1=1)CALL XYZ", {0, 28}, true},   {"(#1F,1=1)JOG 5", {44}, true},
        {"(#1F=1)%X,1=5", {}, false},           {"(#1F=1)%X=%A+1", {}, false},
        {"(#1F=1)%X=XYZ+1", {46}, true}, // a failed line always fails the compile
        {"(#1F=1)%X=%A+XYZ", {46}, true},       {"(#1F=1)JOG=1 2", {0, 46}, true},
        {"(#1F=1)#RDY,1=1", {}, false},         {"(#1F=1)#RDY=1 2", {46}, true},
        {"(#1F=1)#XYZ,1=1", {46}, true},        {"(#1F=FF)%X=%A+1", {}, false},
        {"(#1F=FF)#RDY,1=1", {}, false},        {"(#1F=FF)#5,1=1", {}, false},
        {"(#1F=FF)#XYZ,1=1", {0, 46}, true},    {"(#1F=FF %X=1 2", {0, 45}, true},
        {"(#1F=%A)%X,1=5", {}, false},          {"(#1F=%A)JOG,1=5", {46}, true},
        {"(#1F=XYZ)JOG 1 2", {0, 0, 46}, true}, {"(#1F)JOG 1 2 3", {0, 45}, true},
    });
}

TEST_F(Gen1Statements, FiveWordsStatusCondition) {
    CheckAll({
        {"(#RDY,1=1)#FF=5", {}, false},
        {"(#RDY,1=1)#FF=XYZ", {0, 0, 44}, true},
        {"(#RDY,1=1)#%X=5", {}, false},
        {"(#RDY,1=1)#%X=RDY", {}, false},
        {"(#RDY,1=1)#%X=XYZ", {0, 46}, true},
        {"(#RDY,1=1)#WAIT=5", {}, false},
        {"(#RDY,1=1)#INP=5", {}, false},
        {"(#RDY,1=1)#INP=X", {46}, true},
        {"(#RDY,1=1)#JOG=5", {0, 0, 0, 46}, true},
        {"(#RDY,1=1)%X=%A", {}, false},
        {"(#5,1=1)%X=%A", {}, false},
        {"(#RDY,1=1)%X=%Q", {26}, true},
        {"(#RDY,1=1)%X=LOOP", {}, false, "(#RDY,1=1)%X=2"},
        {"(#RDY,1=1)%X=XYZ", {46}, true},
        {"(#RDY,1=1)%Q=5", {26}, true},
        {"(#RDY,1=1)GOTO LOOP", {}, false, "(#RDY,1=1)GOTO2"},
        {"(#RDY,1=1)WAIT 5", {}, false},
        {"(#RDY,1=1)WAIT %X", {}, false},
        {"(#RDY,1=1)WAIT XYZ", {0, 0, 46}, true},
        {"(#RDY,1=1)SPD=%X", {}, false},
        {"(#RDY,1=1)SPD=X", {0, 46}, true},
        {"(#RDY,1=1)OUT1=1", {}, false},
        {"(#RDY,1=1)OUT1=X", {0, 46}, true},
        {"(#RDY,1=1)JOG 5", {0, 0, 0, 46}, true},
        {"(#RDY,1=1 JOG 5", {43}, true},
        {"(#RDY=1)%X=%A+1", {}, false},
        {"(#RDY=1)%X=XYZ+1", {46}, true},
        {"(#RDY=1)%X=%A+XYZ", {46}, true},
        {"(#RDY=1)INP,1=1", {}, false},
        {"(#RDY=1)INP=1 2", {46}, true},
        {"(#RDY=1)JOG 1 2", {0, 0, 46}, true},
        {"(#RDY=1)#5,1=1", {}, false},
        {"(#RDY=1)#WAIT 5=%X", {46}, true}, // the operand would be a sixth word
        {"(#RDY=1)#WAIT X Y", {46}, true},
        {"(#RDY=1)#JOG 1 2", {46}, true},
        {"(#RDY)=1 JOG 5 6", {0, 43}, true},
        {"(#RDY=X)JOG 1 2", {44}, true},
        {"(#RDY=1 %X=1 2", {45}, true},
        {"(#XYZ=1)JOG 1 2", {0, 0, 0, 46}, true},
    });
}

TEST_F(Gen1Statements, FiveWordsVariableCondition) {
    CheckAll({
        {"(%A,1=1)WAIT 5", {}, false},
        {"(%A,1=1)GOTO LOOP", {}, false, "(%A,1=1)GOTO2"},
        {"(%A,1=1)CALL XYZ", {28}, true},
        {"(%A,1=1)OUT1 X", {}, false},
        {"(%A,1=1)JOG 5", {46}, true},
        {"(%A,1=1)#5=6", {}, false},
        {"(%A,1=1)#5=X", {46}, true},
        {"(%A,1=1)#XYZ=6", {46}, true}, // a failed line always fails the compile
        {"(%A,1=X)WAIT 5", {44}, true},
        {"(%A=5)#INP,1=1", {}, false},
        {"(%A=5)#WAIT 5=1", {46}, true},
        {"(%A=5)#JOG 1 2", {46}, true},
        {"(%A=5)%X=%A+1", {}, false},
        {"(%A=5)%X=%A+XYZ", {46}, true},
        {"(%A=5)%X=XYZ+1", {0, 46}, true},
        {"(%A=5)GOTO LOOP+1", {}, false, "(%A=5)GOTO3"},
        {"(%A=5)CALL XYZ 1", {45}, true},
        {"(%A=5)JOG 1 2", {45}, true},
        {"(%A=%X)%X=%A+1", {}, false},
        {"(%A=%X)%X=XYZ+1", {46}, true},
        {"(%A=%X)JOG 1 2", {46}, true},
        {"(%A=%X)#INP,1=1", {}, false},
        {"(%A=%X)#WAIT 5=1", {46}, true},
        {"(%A=SPD)%X=%A+1", {}, false},
        {"(%A=SPD)JOG=%A+1", {46}, true},
        {"(%A=XYZ)JOG 1 2", {0, 0, 46}, true},
        {"(%A=5 %X=1 2", {45}, true},
        {"(%Q=1)JOG 1 2", {26}, true},
    });
}

TEST_F(Gen1Statements, FiveWordsVariableComparedWithAddress) {
    CheckAll({
        {"(%A=#RDY)%X=%A+1", {}, false},
        {"(%A=#RDY)%X=%A+%Q", {26}, true},
        {"(%A=#RDY)%X=%A+XYZ", {46}, true},
        {"(%A=#RDY)%X=%Q+1", {26}, true},
        {"(%A=#RDY)%X=JOG GOTO", {}, false}, // word 4 of no class is not looked at further
        {"(%A=#RDY)%X=JOG 1", {43}, true},   // unless it is taken for a label without a jump
        {"(%A=#RDY)%Q 1 2", {26}, true},
        {"(%A=#RDY)WAIT 5=%X", {}, false},
        {"(%A=#RDY)WAIT X 1", {46}, true},
        {"(%A=#RDY)INP,1=5", {}, false},
        {"(%A=#RDY)INP,X=5", {46}, true},
        {"(%A=#RDY)JOG 1 2", {0, 46}, true},
        {"(%A=#5)%X,1=5", {}, false},
        {"(%A=#5)%X=%A+1", {}, false},
        {"(%A=#5)JOG=1 2", {46}, true},
        {"(%A=#WAIT)GOTO LOOP+1", {}, false, "(%A=#WAIT)GOTO3"},
        {"(%A=#WAIT)CALL XYZ 1", {28}, true},
        {"(%A=#WAIT)%X=%A+1", {}, false},
        {"(%A=#WAIT)JOG 1 2", {46}, true},
        {"(%A=#XYZ)JOG 1 2", {0, 46, 44}, true},
        {"(%A=#RDY %X=1 2", {45}, true},
    });
}

TEST_F(Gen1Statements, FiveWordsBitAndDataConditions) {
    CheckAll({
        {"(OUT0=1)WAIT 5=%X", {46}, true}, // the operand would be a sixth word
        {"(OUT0=1)#INP,1=1", {}, false},
        {"(OUT0=1)#INP=INP 1", {}, false},
        {"(OUT0=1)#INP=XYZ 1", {46}, true},
        {"(OUT0=1)#5,1=1", {}, false},
        {"(OUT0=1)#XYZ,1=1", {0, 46}, true},
        {"(OUT0=1)%X=%A+1", {}, false},
        {"(OUT0=1)%X=XYZ+1", {0, 46}, true},
        {"(OUT0=1)JOG 1 2", {0, 0, 46}, true},
        {"(OUT0)=1 JOG 5 6", {45}, true}, // where four words give 43
        {"(OUT0=X)%X=1 2", {46}, true},
        {"(SPD=5)%X,1=1", {}, false},
        {"(SPD=5)%X=%A+1", {}, false},
        {"(SPD=5)%X=XYZ+1", {46}, true},
        {"(SPD=5)JOG=1 2", {46}, true},
        {"(SPD=X)%X=1 2", {44}, true},
        {"(SPD=5 %X=1 2", {45}, true},
        {"(XYZ=1)JOG 1 2", {0, 0, 44}, true},
    });
}

} // namespace
} // namespace kaso::compiler::test
