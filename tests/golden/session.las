~Version Information
 VERS.                  2.0 : CWLS Log ASCII Standard - version 2.0
 WRAP.                   NO : One line per depth step
~Well Information
 STRT.M              1010.0 : Start depth
 STOP.M              1199.5 : Stop depth
 STEP.M                   0 : Irregular sampling
 NULL.              -999.25 : Null value
 COMP.                      : Company
 WELL.                  log : Well
 FLD.                       : Field
 LOC.                       : Location
 PROV.                      : Province
 SRVC.                      : Service company
 DATE.           2000-01-01 : Export date
 UWI.                       : Unique well identifier
~Curve Information
 DEPT.M                     : Depth
 DIP.DEG                    : Dip angle
 AZIM.DEG                   : Dip azimuth
 QUAL.                      : Quality grade, A to D as 1 to 4
~Other Information
Picture: log.bmp
Dip scale: Linear Dip Scale, 0 to 90 degrees
~ASCII
      1010.0        90.0        45.0           4
      1050.0        45.0        90.0           1
      1125.0        22.5         0.0           2
      1175.0        67.5       180.0           3
      1199.5         0.0         0.0           1
