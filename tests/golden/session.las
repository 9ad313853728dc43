~Version Information
 VERS.                  2.0 : CWLS Log ASCII Standard - version 2.0
 WRAP.                   NO : One line per depth step
~Well Information
 STRT.M              1010.0 : Start depth
 STOP.M              1199.5 : Stop depth
 STEP.M                   0 : Irregular sampling
 NULL.              -999.25 : Null value
 WELL.                  log : Well
~Curve Information
 DEPT.M                     : Depth
 DIP.DEG                    : Dip angle
 AZIM.DEG                   : Dip azimuth
 QUAL.                      : Quality grade, A to D as 1 to 4
~ASCII
      1010.0        90.0        45.0           4
      1050.0        45.0        90.0           1
      1125.0        22.5         0.0           2
      1175.0        67.5       180.0           3
      1199.5         0.0     -999.25     -999.25
